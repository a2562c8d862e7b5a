#include "BillStore.h"

#include "DataAccess.h"
#include "DbError.h"
#include "Numbers.h"
#include "PrintXml.h"
#include "ProcessFuntion.h"
#include "ProcessFuntionValues.h"
#include "dal_customer.h"
#include "dal_goods_head.h"
#include "dal_location.h"
#include "sqlHelper.h"

#include <QHash>
#include <QSet>

const QString BillStore::kAuditedSaveText = QStringLiteral("当前单据已审核,不能保存!");
const QString BillStore::kAuditedDeleteText = QStringLiteral("当前单据已审核,不能删除!");
const QString BillStore::kMissingText = QStringLiteral("当前记录不存在!");
const QString BillStore::kAccountMissingText = QStringLiteral("请选择账目标识!");

namespace
{
QString Q(const char* text)
{
    return QString::fromUtf8(text);
}
} // namespace

// ---------------------------------------------------------------- texts

QString BillStore::headColumns() const
{
    return Q(" id,accountId,accountName,billNo,ubillNo,utypeId,utype,") + m_dir.partnerIdCol +
           Q(",ispass,passName,") + m_dir.partnerNameCol +
           Q(",remark,creator,createTime,updateLastUser,updateLastTime,userId,totalItemRow,rowsCount,"
             "totalQty,"
             "totalAmount ");
}

QString BillStore::lineColumns() const
{
    return Q(" id,headId,accountId,accountName,ispass,passName,billNo,ubillNo,utypeId,utype,") +
           m_dir.partnerIdCol + QLatin1Char(',') + m_dir.partnerNameCol +
           Q(",userId,rowNo,goodsTypeId,goodsTypeName,goodsId,goodsCode,goodsDetailCode,goodsName,goodsDesc,"
             "unit,"
             "inPrice,") +
           (m_dir.hasSalePrice ? Q("salePrice,") : QString()) +
           Q("packQty,weight,qty,totalQty,totalDefaultQty,totalWeight,totalAmount,locationId,locationCode,"
             "lotNo,"
             "remark ");
}

QString BillStore::GetSqlSearch(const QString& utype) const
{
    if (utype == QLatin1String("a"))
        return Q("select ") + headColumns() + Q(" from ") + m_dir.headView;
    if (utype == QLatin1String("f"))
        return headColumns();
    return {};
}

QString BillStore::GetLineSqlSearch(const QString& utype) const
{
    if (utype == QLatin1String("a"))
        return Q("select ") + lineColumns() + Q(" from ") + m_dir.lineView;
    if (utype == QLatin1String("f"))
        return lineColumns();
    return {};
}

QString BillStore::lineInsertSql() const
{
    const QString sale = m_dir.hasSalePrice ? Q("salePrice,") : QString();
    const QString saleP = m_dir.hasSalePrice ? Q("@salePrice,") : QString();
    return Q("insert into ") + m_dir.lineTable + Q(" ") +
           Q("(id,headId,rowNo,goodsTypeId,goodsTypeName,goodsId,goodsCode,goodsDetailCode,goodsName,"
             "goodsDesc,unit,"
             "inPrice,") +
           sale + Q("packQty,weight,qty,locationId,lotNo,remark ) ") + Q(" values (") +
           Q("@id,@headId,@rowNo,@goodsTypeId,@goodsTypeName,@goodsId,@goodsCode,@goodsDetailCode,@goodsName,"
             "@goodsDesc,@unit,@inPrice,") +
           saleP + Q("@packQty,@weight,@qty,@locationId,@lotNo,@remark ") + Q(") ");
}

// The values of a line's insert, in the order of its placeholders.
QVariantList BillStore::lineValues(const BillLine& l) const
{
    QVariantList v{l.id,        l.headId,          l.rowNo,     l.goodsTypeId, l.goodsTypeName, l.goodsId,
                   l.goodsCode, l.goodsDetailCode, l.goodsName, l.goodsDesc,   l.unit,          l.inPrice};
    if (m_dir.hasSalePrice)
        v.append(l.salePrice);
    v << l.packQty << l.weight << l.qty << l.locationId << l.lotNo << l.remark;
    return v;
}

ParamMap BillStore::lineParams(const BillLine& l) const
{
    const QStringList names = PlaceholderNames(lineInsertSql());
    const QVariantList values = lineValues(l);
    ParamMap p;
    for (int k = 0; k < names.size(); ++k)
        p.Add(names.at(k), values.at(k));
    return p;
}

QString BillStore::lineUpdateSql() const
{
    return Q("update ") + m_dir.lineTable + Q(" ") + Q(" set headId=@headId,") + Q(" rowNo=@rowNo,") +
           Q(" goodsTypeId=@goodsTypeId,") + Q(" goodsTypeName=@goodsTypeName,") + Q(" goodsId=@goodsId,") +
           Q(" goodsCode=@goodsCode,") + Q(" goodsDetailCode=@goodsDetailCode,") +
           Q(" goodsName=@goodsName,") + Q(" goodsDesc=@goodsDesc,") + Q(" unit=@unit,") +
           Q(" inPrice=@inPrice,") + (m_dir.hasSalePrice ? Q(" salePrice=@salePrice,") : QString()) +
           Q(" packQty=@packQty,") + Q(" weight=@weight,") + Q(" qty=@qty,") + Q(" locationId=@locationId,") +
           Q(" lotNo=@lotNo,") + Q(" remark=@remark") + Q(" where id=@id");
}

// ---------------------------------------------------------------- writes

// The lines without an id (0) take new ids from the line table's sequence,
// all at once, and are stored under headId.
void BillStore::insertLines(int headId, QList<BillLine>& lines)
{
    int fresh = 0;
    for (const BillLine& l : lines)
        fresh += l.id > 0 ? 0 : 1;
    if (fresh == 0)
        return;
    int next = TakeIds(m_dir.lineTable, fresh);
    RepeatedWrite insert(lineInsertSql());
    for (BillLine& l : lines) {
        if (l.id > 0)
            continue;
        l.id = next++;
        l.headId = headId;
        insert.Run(lineValues(l));
    }
}

// Makes the stored lines of bill headId those of lines. A line keeps its id
// (it is the line's identity for the reports) when that id is one of the
// bill's stored lines, given once: it is rewritten in place. Any other line
// is new. The stored lines that lines no longer hold are deleted.
void BillStore::writeLines(int headId, QList<BillLine>& lines)
{
    QSet<int> stored;
    const RecordSetPtr rs = ExecuteSql(Q("select id from ") + m_dir.lineTable + Q(" where headId=@headId"),
                                       ParamMap{{Q("@headId"), headId}});
    for (int r = 0; rs && r < rs->RecordCount(); ++r)
        stored.insert(rs->value(r, 0).toInt());
    QSet<int> kept;
    for (BillLine& l : lines) {
        l.headId = headId;
        if (l.id > 0 && stored.contains(l.id) && !kept.contains(l.id))
            kept.insert(l.id);
        else
            l.id = 0;
    }
    if (kept.size() < stored.size()) {
        RepeatedWrite drop(Q("delete from ") + m_dir.lineTable + Q(" where id=@id"));
        for (const int id : stored)
            if (!kept.contains(id))
                drop.Run({id});
    }
    if (!kept.isEmpty()) {
        // The update's values: those of the insert without the id, then the id.
        RepeatedWrite update(lineUpdateSql());
        for (const BillLine& l : lines) {
            if (l.id < 1)
                continue;
            QVariantList values = lineValues(l);
            values.append(values.takeFirst());
            update.Run(values);
        }
    }
    insertLines(headId, lines);
}

void BillStore::requireEditable(int id, const QString& auditedText)
{
    const RecordSetPtr rs =
        ExecuteSql(Q("select ispass from ") + m_dir.headTable + Q(" where id=@id"), ParamMap{{Q("@id"), id}});
    if (!rs || rs->isEmpty())
        throw DbError(kMissingText);
    if (rs->value(0, 0).toInt() != 0)
        throw DbError(auditedText);
}

// The partner must still be stored when the bill is written: one deleted on
// another workstation since the window took it refuses the save with the
// window's text for a bill without partner.
void BillStore::requirePartner(const BillHead& head) const
{
    if (!dal_customer::Exists(head.partnerId))
        throw DbError(m_dir.window.partnerMissing);
}

// The account tag and the bill type must still be stored when the bill is
// written: one deleted on another workstation since the window took it
// refuses the save with the window's text for a bill without one.
void BillStore::requireAccountAndType(const BillHead& head) const
{
    const auto stored = [](int id) {
        return id > 0 &&
               ScalarInt(Q("select count(*) from tb_dictionary where id=@id"), ParamMap{{Q("@id"), id}}) > 0;
    };
    if (!stored(head.accountId))
        throw DbError(kAccountMissingText);
    if (!stored(head.utypeId))
        throw DbError(m_dir.window.billTypeMissing);
}

// Every line's goods item and location must still be stored. The lines are
// walked as the window walks them before the save, from the last up, the
// goods item of a line before its location; each id is looked up once.
void BillStore::requireLineReferences(const QList<BillLine>& lines) const
{
    QHash<int, bool> goods;
    QHash<int, bool> locations;
    const auto stored = [](QHash<int, bool>& seen, int id, bool (*exists)(int)) {
        auto it = seen.constFind(id);
        if (it == seen.constEnd())
            it = seen.insert(id, exists(id));
        return it.value();
    };
    for (qsizetype k = lines.size() - 1; k >= 0; --k) {
        const BillLine& l = lines.at(k);
        if (!stored(goods, l.goodsId, &dal_goods_head::Exists))
            throw DbError(dal_goods_head::kGoodsMissingText);
        if (!stored(locations, l.locationId, &dal_location::Exists))
            throw DbError(m_dir.window.locationMissing);
    }
}

m_DBresult BillStore::Add(BillHead& head, QList<BillLine>& lines)
{
    BillHead h = head;
    QList<BillLine> ls = lines;
    const m_DBresult r = RunTrans([&] {
        requirePartner(h);
        requireAccountAndType(h);
        requireLineReferences(ls);
        h.id = TakeIds(m_dir.headTable);
        h.billNo = GetNewBillNo(m_dir.numberKind, h.createTime);
        h.ispass = 0;
        h.rowVersion = 0;
        const QString sql =
            Q("insert into ") + m_dir.headTable + Q(" ") + Q("(id,accountId,billNo,ubillNo,utypeId,") +
            m_dir.partnerIdCol + QLatin1Char(',') + m_dir.partnerNameCol +
            Q(",remark,ispass,creator,createTime,updateLastUser,updateLastTime,userId ) ") + Q(" values (") +
            Q("@id,@accountId,@billNo,@ubillNo,@utypeId,@partnerId,@partnerName,@remark,@ispass,"
              "@creator,@createTime,@updateLastUser,@updateLastTime,@userId ") +
            Q(") ");
        ExecuteParaSql(sql, ParamMap{{Q("@id"), h.id},
                                     {Q("@accountId"), h.accountId},
                                     {Q("@billNo"), h.billNo},
                                     {Q("@ubillNo"), h.ubillNo},
                                     {Q("@utypeId"), h.utypeId},
                                     {Q("@partnerId"), h.partnerId},
                                     {Q("@partnerName"), h.partnerName},
                                     {Q("@remark"), h.remark},
                                     {Q("@ispass"), h.ispass},
                                     {Q("@creator"), h.creator},
                                     {Q("@createTime"), h.createTime},
                                     {Q("@updateLastUser"), h.updateLastUser},
                                     {Q("@updateLastTime"), h.updateLastTime},
                                     {Q("@userId"), h.userId}});
        for (BillLine& l : ls)
            l.id = 0;
        insertLines(h.id, ls);
    });
    if (r.isResult) {
        head = h;
        lines = ls;
    }
    return r;
}

m_DBresult BillStore::Update_All(BillHead& head, QList<BillLine>& lines)
{
    BillHead h = head;
    QList<BillLine> ls = lines;
    const m_DBresult r = RunTrans([&] {
        requirePartner(h);
        requireAccountAndType(h);
        requireEditable(h.id, kAuditedSaveText);
        RequireUnchanged(m_dir.headTable, h.id, h.rowVersion, kMissingText);
        requireLineReferences(ls);
        const QString sql = Q("update ") + m_dir.headTable + Q(" ") + Q(" set accountId=@accountId,") +
                            Q(" ubillNo=@ubillNo,") + Q(" utypeId=@utypeId,") + Q(" ") + m_dir.partnerIdCol +
                            Q("=@partnerId,") + Q(" ") + m_dir.partnerNameCol + Q("=@partnerName,") +
                            Q(" remark=@remark,") + Q(" updateLastUser=@updateLastUser,") +
                            Q(" updateLastTime=@updateLastTime,") + Q(" rowVersion=rowVersion+1") +
                            Q(" where id=@id and rowVersion=@rowVersion");
        ExecuteChangingRow(sql,
                           ParamMap{{Q("@id"), h.id},
                                    {Q("@accountId"), h.accountId},
                                    {Q("@ubillNo"), h.ubillNo},
                                    {Q("@utypeId"), h.utypeId},
                                    {Q("@partnerId"), h.partnerId},
                                    {Q("@partnerName"), h.partnerName},
                                    {Q("@remark"), h.remark},
                                    {Q("@updateLastUser"), h.updateLastUser},
                                    {Q("@updateLastTime"), h.updateLastTime},
                                    {Q("@rowVersion"), h.rowVersion}},
                           kRecordChangedText);
        ++h.rowVersion;
        writeLines(h.id, ls);
    });
    if (r.isResult) {
        head.rowVersion = h.rowVersion;
        lines = ls;
    }
    return r;
}

m_DBresult BillStore::Update_pass(const BillHead& head)
{
    return RunTrans([&] {
        const PassOutcome outcome =
            SetPass(head.id, head.ispass != 0, head.updateLastUser, head.updateLastTime);
        if (outcome != PassOutcome::Done)
            throw DbError(PassRefusal(outcome));
    });
}

BillStore::PassOutcome BillStore::SetPass(int id, bool pass, const QString& user, const QString& time)
{
    const int changed = ExecuteParaSql(Q("update ") + m_dir.headTable +
                                           Q(" set ispass=@ispass, updateLastUser=@updateLastUser,"
                                             " updateLastTime=@updateLastTime where id=@id and ispass=@was"),
                                       ParamMap{{Q("@ispass"), pass ? 1 : 0},
                                                {Q("@updateLastUser"), user},
                                                {Q("@updateLastTime"), time},
                                                {Q("@id"), id},
                                                {Q("@was"), pass ? 0 : 1}});
    if (changed > 0)
        return PassOutcome::Done;
    const QVariant stored =
        GetFieldValue(Q("ispass"), m_dir.headTable, Q(" and id=@id"), ParamMap{{Q("@id"), id}});
    if (stored.toString().isEmpty())
        return PassOutcome::Missing;
    return stored.toInt() != 0 ? PassOutcome::Audited : PassOutcome::Unaudited;
}

QString BillStore::PassRefusal(PassOutcome outcome)
{
    switch (outcome) {
    case PassOutcome::Audited:
        return QStringLiteral("当前单据已经审核,不能再审核!");
    case PassOutcome::Unaudited:
        return QStringLiteral("当前单据未审核,不能再反审!");
    default:
        return kMissingText;
    }
}

m_DBresult BillStore::Delete(int id)
{
    return RunTrans([&] {
        requireEditable(id, kAuditedDeleteText);
        ExecuteParaSql(Q("Delete From ") + m_dir.lineTable + Q(" where headId=@headId"),
                       ParamMap{{Q("@headId"), id}});
        ExecuteChangingRow(Q("Delete From ") + m_dir.headTable + Q(" where id=@id"), ParamMap{{Q("@id"), id}},
                           kMissingText);
    });
}

m_DBresult BillStore::AddLine(BillLine& line)
{
    BillLine l = line;
    const m_DBresult r = RunTrans([&] {
        requireLineReferences({l});
        l.id = TakeIds(m_dir.lineTable);
        ExecuteParaSql(lineInsertSql(), lineParams(l));
    });
    if (r.isResult)
        line = l;
    return r;
}

m_DBresult BillStore::UpdateLine(const BillLine& line)
{
    return RunTrans([&] {
        requireLineReferences({line});
        ExecuteChangingRow(lineUpdateSql(), lineParams(line), kMissingText);
    });
}

m_DBresult BillStore::DeleteLine(int id)
{
    return RunTrans([&] {
        ExecuteChangingRow(Q("Delete From ") + m_dir.lineTable + Q(" where id=@id"), ParamMap{{Q("@id"), id}},
                           kMissingText);
    });
}

// ---------------------------------------------------------------- reads

namespace
{

// The fields a head and its lines both read from their views.
void readBillFields(const RecordSet& rs, const BillSetup& dir, BillCommon& r)
{
    r.id = rs.integer(0, Q("id"));
    r.accountId = rs.integer(0, Q("accountId"));
    r.accountName = rs.text(0, Q("accountName"));
    r.billNo = rs.text(0, Q("billNo"));
    r.ubillNo = rs.text(0, Q("ubillNo"));
    r.utype = rs.text(0, Q("utype"));
    r.utypeId = rs.integer(0, Q("utypeId"));
    r.partnerId = rs.integer(0, dir.partnerIdCol);
    r.partnerName = rs.text(0, dir.partnerNameCol);
    r.userId = rs.integer(0, Q("userId"));
    r.remark = rs.text(0, Q("remark"));
    r.ispass = rs.integer(0, Q("ispass"));
    r.passName = rs.text(0, Q("passName"));
}

} // namespace

BillHead BillStore::readHead(const RecordSet& rs) const
{
    BillHead h;
    readBillFields(rs, m_dir, h);
    h.creator = rs.text(0, Q("creator"));
    h.createTime = rs.text(0, Q("createTime"));
    h.updateLastUser = rs.text(0, Q("updateLastUser"));
    h.updateLastTime = rs.text(0, Q("updateLastTime"));
    h.totalItemRow = rs.text(0, Q("totalItemRow"));
    h.totalQty = ReadNumber(rs.value(0, Q("totalQty")));
    h.totalAmount = ReadNumber(rs.value(0, Q("totalAmount")));
    h.rowsCount = int(ReadNumber(rs.value(0, Q("rowsCount"))));
    return h;
}

BillLine BillStore::readLine(const RecordSet& rs) const
{
    BillLine l;
    readBillFields(rs, m_dir, l);
    l.headId = rs.integer(0, Q("headId"));
    l.rowNo = rs.integer(0, Q("rowNo"));
    l.goodsTypeId = rs.integer(0, Q("goodsTypeId"));
    l.goodsTypeName = rs.text(0, Q("goodsTypeName"));
    l.goodsId = rs.integer(0, Q("goodsId"));
    l.goodsCode = rs.text(0, Q("goodsCode"));
    l.goodsDetailCode = rs.text(0, Q("goodsDetailCode"));
    l.goodsName = rs.text(0, Q("goodsName"));
    l.goodsDesc = rs.text(0, Q("goodsDesc"));
    l.unit = rs.text(0, Q("unit"));
    l.inPrice = rs.number(0, Q("inPrice"));
    if (m_dir.hasSalePrice)
        l.salePrice = rs.number(0, Q("salePrice"));
    l.packQty = rs.number(0, Q("packQty"));
    l.weight = rs.number(0, Q("weight"));
    l.qty = rs.number(0, Q("qty"));
    l.totalQty = rs.number(0, Q("totalQty"));
    l.totalDefaultQty = rs.number(0, Q("totalDefaultQty"));
    l.totalWeight = rs.number(0, Q("totalWeight"));
    l.totalAmount = rs.number(0, Q("totalAmount"));
    l.locationCode = rs.text(0, Q("locationCode"));
    l.locationId = rs.integer(0, Q("locationId"));
    l.lotNo = rs.text(0, Q("lotNo"));
    return l;
}

BillHead BillStore::GetModel(int id)
{
    // The stamp is read in the same statement as the bill, so the two agree.
    return ReadFirstShared(Q("select ") + headColumns() + Q(",(select t.rowVersion from ") + m_dir.headTable +
                               Q(" t where t.id=") + m_dir.headView + Q(".id) as rowVersion from ") +
                               m_dir.headView + Q(" where id=@id"),
                           ParamMap{{Q("@id"), id}}, [this](const RecordSet& rs) {
                               BillHead h = readHead(rs);
                               h.rowVersion = rs.integer(0, Q("rowVersion"));
                               return h;
                           });
}

BillLine BillStore::GetLineModel(int id)
{
    return ReadFirstShared(GetLineSqlSearch(Q("a")) + Q(" where id=@id"), ParamMap{{Q("@id"), id}},
                           [this](const RecordSet& rs) { return readLine(rs); });
}

RecordSetPtr BillStore::GetDataTable(const QString& str_condition, const ParamMap& params)
{
    return ExecuteSql(GetSqlSearch(Q("a")) + Q(" where 1=1 ") + str_condition, params);
}

RecordSetPtr BillStore::GetLineDataTable(const QString& str_condition, const ParamMap& params)
{
    return ExecuteSql(GetLineSqlSearch(Q("a")) + Q(" where 1=1 ") + str_condition, params);
}

m_recordSet BillStore::GetListForCondition(const m_conditions& ilstPara, const QString& str_sql,
                                           const QString& str_Criteria)
{
    const QString select = IsNullOrEmpty(str_sql) ? Q("select ") + GetSqlSearch(Q("f")) : str_sql;
    return SelectForConditions(select + Q(" from ") + m_dir.headView + Q(" "), ilstPara, str_Criteria);
}

m_recordSet BillStore::GetLineListForCondition(const m_conditions& ilstPara, const QString& str_sql,
                                               const QString& str_orderByField)
{
    const QString select = IsNullOrEmpty(str_sql) ? Q("select ") + GetLineSqlSearch(Q("f")) : str_sql;
    return SelectForConditions(select + Q(" from ") + m_dir.lineView + Q(" "), ilstPara, str_orderByField);
}

m_recordSet BillStore::GetBillLines(int headId)
{
    const QString select = Q("select "
                             "0 as "
                             "selected,id,goodsId,goodsTypeId,goodsCode,goodsDetailCode,goodsName,goodsDesc,"
                             "goodsTypeName,unit,packQty,"
                             "weight,inPrice,") +
                           (m_dir.hasSalePrice ? Q("salePrice,") : QString()) +
                           Q("qty,totalAmount,locationId,locationCode,lotNo,remark  ");
    return GetLineListForCondition({m_condition(Q("headId"), Q("="), headId)}, select,
                                   Q(" order by rowNo,id"));
}

bool BillStore::GetLastPrice(int partnerId, const QString& goodsCode, double& price)
{
    // Straight from the tables: the newest line of this partner under this
    // exact code, whichever bill date, account tag or audit state it has.
    const RecordSetPtr rs = ExecuteSql(
        Q("select l.") + m_dir.priceCol + Q(" from ") + m_dir.lineTable + Q(" l inner join ") +
            m_dir.headTable + Q(" h on h.id=l.headId ") + Q(" where h.") + m_dir.partnerIdCol +
            Q("=@partnerId and l.goodsCode=@code ") + Q(" order by l.headId desc,l.id desc limit 1"),
        ParamMap{{Q("@partnerId"), partnerId}, {Q("@code"), goodsCode}});
    if (!rs || rs->isEmpty())
        return false;
    price = ReadNumber(rs->value(0, 0));
    return true;
}

// ---------------------------------------------------------------- printing

// The print work tables belong to this connection (TEMP), so two copies of
// the program never print each other's rows.
m_DBresult BillStore::refill(const QString& temp, const QString& view, const QString& columns,
                             const m_conditions& ilstPara)
{
    const ConditionSql cond = GetConditionSql(ilstPara);
    return RunTrans([&] {
        ExecuteSql(Q("create temp table if not exists ") + temp + Q(" as select ") + columns + Q(" from ") +
                   view + Q(" where 0"));
        ExecuteSql(Q("Delete From ") + temp);
        ExecuteParaSql(Q("insert into ") + temp + Q("( ") + columns + Q(") ") + Q("select ") + columns +
                           Q(" from ") + view + Q(" where 1=1 ") + cond.sql,
                       cond.params);
    });
}

m_DBresult BillStore::insert_Temp_head(const m_conditions& ilstPara)
{
    return refill(m_dir.headTemp, m_dir.headView, headColumns(), ilstPara);
}

m_DBresult BillStore::insert_Temp_detail(const m_conditions& ilstPara)
{
    return refill(m_dir.lineTemp, m_dir.lineView, lineColumns(), ilstPara);
}

QDomElement BillStore::GetGroupHeadRowNode(const m_conditions& ilstPara, const QString& str_templeteName)
{
    const m_DBresult r = insert_Temp_head(ilstPara);
    if (!r.isResult)
        throw DbError(r.str_MsgBox);
    const ConditionSql cond = GetConditionSql(ilstPara);
    CloseRs();
    SharedRs = ExecuteSql(
        Q("select * from ") + m_dir.headTemp + Q(" where 1=1 ") + cond.sql + Q(" order by id"), cond.params);
    const QDomElement node =
        BuildDataRecordNode(SharedRs, str_templeteName, Q("Content/DataGroupHead/DataCols"));
    CloseRs();
    return node;
}

QDomElement BillStore::GetDetailRowNode(const m_conditions& ilstPara, const QString& str_templeteName)
{
    const m_DBresult r = insert_Temp_detail(ilstPara);
    if (!r.isResult)
        throw DbError(r.str_MsgBox);
    const ConditionSql cond = GetConditionSql(ilstPara);
    CloseRs();
    SharedRs = ExecuteSql(Q("select * from ") + m_dir.lineTemp + Q(" where 1=1 ") + cond.sql +
                              Q(" order by headId,rowNo"),
                          cond.params);
    const QDomElement node =
        BuildDataRecordNode(SharedRs, str_templeteName, Q("Content/DataDetail/DataCols"));
    CloseRs();
    return node;
}
