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
#include "mod_public.h"
#include "sqlHelper.h"

#include <QHash>
#include <QSet>

#include <cmath>
#include <type_traits>
#include <variant>

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

// Where a field of a bill record takes part.
enum Use : unsigned {
    Shown = 1,    // read from the view (the select, the print work tables)
    Written = 2,  // stored by the insert
    Changed = 4,  // rewritten by the update
    Grid = 8,     // in the bill grid's line list
    SaleOnly = 16 // only in a direction that keeps a sale price
};
constexpr unsigned Stored = Shown | Written | Changed;

template <class Record> using Member = std::variant<int Record::*, QString Record::*, double Record::*>;

// A field of a bill record: the name it is bound under in a write (and its
// column, unless the direction names the column), the record's member that
// holds it, and where it takes part.
template <class Record> struct Field {
    const char* bound;
    Member<Record> member;
    unsigned use;
    QString BillDirectionFacts::*directionColumn = nullptr;

    QString column(const BillSetup& dir) const { return directionColumn ? dir.*directionColumn : Q(bound); }
    bool in(const BillSetup& dir, unsigned what) const
    {
        return (use & what) != 0 && ((use & SaleOnly) == 0 || dir.hasSalePrice);
    }
    QVariant value(const Record& r) const
    {
        return std::visit([&r](auto m) { return QVariant::fromValue(r.*m); }, member);
    }
    // Binds the field's value of r at position of a write.
    void bind(RepeatedWrite& write, int position, const Record& r) const
    {
        std::visit([&](auto m) { write.Bind(position, r.*m); }, member);
    }
    void read(const RecordSet& rs, Record& r, const BillSetup& dir) const
    {
        const QString name = column(dir);
        std::visit(
            [&](auto m) {
                using T = std::remove_reference_t<decltype(r.*m)>;
                if constexpr (std::is_same_v<T, int>)
                    r.*m = rs.integer(0, name);
                else if constexpr (std::is_same_v<T, double>)
                    r.*m = rs.number(0, name);
                else
                    r.*m = rs.text(0, name);
            },
            member);
    }
};

// A head's fields in the order of the view's column list.
const QList<Field<BillHead>>& headFields()
{
    using H = BillHead;
    static const QList<Field<H>> fields{
        {"id", &H::id, Shown | Written},
        {"accountId", &H::accountId, Stored},
        {"accountName", &H::accountName, Shown},
        {"billNo", &H::billNo, Shown | Written},
        {"ubillNo", &H::ubillNo, Stored},
        {"utypeId", &H::utypeId, Stored},
        {"utype", &H::utype, Shown},
        {"partnerId", &H::partnerId, Stored, &BillDirectionFacts::partnerIdCol},
        {"ispass", &H::ispass, Shown | Written},
        {"passName", &H::passName, Shown},
        {"partnerName", &H::partnerName, Stored, &BillDirectionFacts::partnerNameCol},
        {"remark", &H::remark, Stored},
        {"creator", &H::creator, Shown | Written},
        {"createTime", &H::createTime, Shown | Written},
        {"updateLastUser", &H::updateLastUser, Stored},
        {"updateLastTime", &H::updateLastTime, Stored},
        {"userId", &H::userId, Shown | Written},
        {"totalItemRow", &H::totalItemRow, Shown},
        {"rowsCount", &H::rowsCount, Shown},
        {"totalQty", &H::totalQty, Shown},
        {"totalAmount", &H::totalAmount, Shown},
    };
    return fields;
}

// A line's fields in the order of the view's column list.
const QList<Field<BillLine>>& lineFields()
{
    using L = BillLine;
    static const QList<Field<L>> fields{
        {"id", &L::id, Shown | Written | Grid},
        {"headId", &L::headId, Stored},
        {"accountId", &L::accountId, Shown},
        {"accountName", &L::accountName, Shown},
        {"ispass", &L::ispass, Shown},
        {"passName", &L::passName, Shown},
        {"billNo", &L::billNo, Shown},
        {"ubillNo", &L::ubillNo, Shown},
        {"utypeId", &L::utypeId, Shown},
        {"utype", &L::utype, Shown},
        {"partnerId", &L::partnerId, Shown, &BillDirectionFacts::partnerIdCol},
        {"partnerName", &L::partnerName, Shown, &BillDirectionFacts::partnerNameCol},
        {"userId", &L::userId, Shown},
        {"rowNo", &L::rowNo, Stored},
        {"goodsTypeId", &L::goodsTypeId, Stored | Grid},
        {"goodsTypeName", &L::goodsTypeName, Stored | Grid},
        {"goodsId", &L::goodsId, Stored | Grid},
        {"goodsCode", &L::goodsCode, Stored | Grid},
        {"goodsDetailCode", &L::goodsDetailCode, Stored | Grid},
        {"goodsName", &L::goodsName, Stored | Grid},
        {"goodsDesc", &L::goodsDesc, Stored | Grid},
        {"unit", &L::unit, Stored | Grid},
        {"inPrice", &L::inPrice, Stored | Grid},
        {"salePrice", &L::salePrice, Stored | Grid | SaleOnly},
        {"packQty", &L::packQty, Stored | Grid},
        {"weight", &L::weight, Stored | Grid},
        {"qty", &L::qty, Stored | Grid},
        {"totalQty", &L::totalQty, Shown},
        {"totalDefaultQty", &L::totalDefaultQty, Shown},
        {"totalWeight", &L::totalWeight, Shown},
        {"totalAmount", &L::totalAmount, Shown | Grid},
        {"locationId", &L::locationId, Stored | Grid},
        {"locationCode", &L::locationCode, Shown | Grid},
        {"lotNo", &L::lotNo, Stored | Grid},
        {"remark", &L::remark, Stored | Grid},
    };
    return fields;
}

template <class Record>
QList<const Field<Record>*> fieldsIn(const QList<Field<Record>>& all, const BillSetup& dir, unsigned what)
{
    QList<const Field<Record>*> out;
    for (const Field<Record>& f : all)
        if (f.in(dir, what))
            out.append(&f);
    return out;
}

// The columns of the fields that take part in what, joined by commas.
template <class Record>
QString columnList(const QList<Field<Record>>& all, const BillSetup& dir, unsigned what)
{
    QStringList names;
    for (const Field<Record>* f : fieldsIn(all, dir, what))
        names.append(f->column(dir));
    return names.join(QLatin1Char(','));
}

// "insert into table (columns) values (@bound...)" of the fields stored by the insert.
template <class Record>
QString insertSql(const QList<Field<Record>>& all, const BillSetup& dir, const QString& table)
{
    QStringList bound;
    for (const Field<Record>* f : fieldsIn(all, dir, Written))
        bound.append(QLatin1Char('@') + Q(f->bound));
    return Q("insert into ") + table + Q(" (") + columnList(all, dir, Written) + Q(") values (") +
           bound.join(QLatin1Char(',')) + Q(")");
}

// "update table set column=@bound,..." of the fields the update rewrites, then extra.
template <class Record> QString assignments(const QList<Field<Record>>& all, const BillSetup& dir)
{
    QStringList sets;
    for (const Field<Record>* f : fieldsIn(all, dir, Changed))
        sets.append(f->column(dir) + Q("=@") + Q(f->bound));
    return sets.join(QLatin1Char(','));
}

template <class Record>
ParamMap paramsOf(const QList<Field<Record>>& all, const BillSetup& dir, unsigned what, const Record& r)
{
    ParamMap p;
    for (const Field<Record>* f : fieldsIn(all, dir, what))
        p.Add(QLatin1Char('@') + Q(f->bound), f->value(r));
    return p;
}
} // namespace

// ---------------------------------------------------------------- texts

QString BillStore::headColumns() const
{
    return QLatin1Char(' ') + columnList(headFields(), m_dir, Shown) + QLatin1Char(' ');
}

QString BillStore::lineColumns() const
{
    return QLatin1Char(' ') + columnList(lineFields(), m_dir, Shown) + QLatin1Char(' ');
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
    return insertSql(lineFields(), m_dir, m_dir.lineTable);
}

// The update's placeholders: those of the insert without the id, then the id.
QString BillStore::lineUpdateSql() const
{
    return Q("update ") + m_dir.lineTable + Q(" set ") + assignments(lineFields(), m_dir) +
           Q(" where id=@id");
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
    const QList<const Field<BillLine>*> fields = fieldsIn(lineFields(), m_dir, Written);
    for (BillLine& l : lines) {
        if (l.id > 0)
            continue;
        l.id = next++;
        l.headId = headId;
        for (int k = 0; k < fields.size(); ++k)
            fields.at(k)->bind(insert, k, l);
        insert.Run();
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
        RepeatedWrite update(lineUpdateSql());
        const QList<const Field<BillLine>*> fields = fieldsIn(lineFields(), m_dir, Changed);
        for (const BillLine& l : lines) {
            if (l.id < 1)
                continue;
            for (int k = 0; k < fields.size(); ++k)
                fields.at(k)->bind(update, k, l);
            update.Bind(int(fields.size()), l.id);
            update.Run();
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

// The partner must still be stored when the bill is written: a bill without
// one is refused with the window's text for it, one deleted on another
// workstation since the window took it with the text that says so.
void BillStore::requirePartner(const BillHead& head) const
{
    if (head.partnerId < 1)
        throw DbError(m_dir.window.partnerMissing);
    if (!dal_customer::Exists(head.partnerId))
        throw DbError(m_dir.window.partnerDeleted);
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
// goods item of a line before its location; each id is looked up once. When
// every goods item and every location is stored, as they nearly always are,
// two statements say so for the whole bill.
void BillStore::requireFigures(const QList<BillLine>& lines) const
{
    for (const BillLine& l : lines) {
        const std::pair<double, QString> figures[] = {
            {l.qty, Q("数量")},
            {l.inPrice, m_dir.hasSalePrice ? Q("进价") : m_dir.reports.priceWord},
            {m_dir.hasSalePrice ? l.salePrice : 0.0, m_dir.reports.priceWord},
            {l.packQty, Q("内装数")},
            {l.weight, Q("重量")},
        };
        for (const auto& [value, word] : figures) {
            if (!std::isfinite(value))
                throw DbError(NumberRefusal(word, NumberFit::TooManyDigits, 0));
        }
    }
}

void BillStore::requireLineReferences(const QList<BillLine>& lines) const
{
    // Every write of lines checks their references here, and their figures.
    requireFigures(lines);
    QSet<int> goodsIds;
    QSet<int> locationIds;
    for (const BillLine& l : lines) {
        goodsIds.insert(l.goodsId);
        locationIds.insert(l.locationId);
    }
    if (dal_goods_head::AllExist(goodsIds) && dal_location::AllExist(locationIds))
        return;
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
        if (l.locationId < 1)
            throw DbError(m_dir.window.locationMissing);
        if (!stored(locations, l.locationId, &dal_location::Exists))
            throw DbError(m_dir.window.locationDeleted);
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
        ExecuteParaSql(insertSql(headFields(), m_dir, m_dir.headTable),
                       paramsOf(headFields(), m_dir, Written, h));
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
        ParamMap params = paramsOf(headFields(), m_dir, Changed, h);
        params.Add(Q("@id"), h.id);
        params.Add(Q("@rowVersion"), h.rowVersion);
        UpdateUnchanged(m_dir.headTable, assignments(headFields(), m_dir), params, kMissingText);
        requireLineReferences(ls);
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

// Whether the clerk may act on the stored bill id: it is stored, it is the
// bill the clerk saw, and the logged-in user's department holds its account
// tag and the act's right as stored now (a right or tag taken away, or the
// bill moved to a tag the department may not see, since the window read it).
BillStore::PassOutcome BillStore::mayActOn(int id, const Seen& seen) const
{
    const RecordSetPtr rs =
        ExecuteSql(Q("select rowVersion, accountId from ") + m_dir.headTable + Q(" where id=@id"),
                   ParamMap{{Q("@id"), id}});
    if (!rs || rs->isEmpty())
        return PassOutcome::Missing;
    if (seen.rowVersion >= 0 && rs->value(0, 0).toInt() != seen.rowVersion)
        return PassOutcome::Changed;
    if (CurrentUser.id < 1)
        return PassOutcome::Done;
    const int department = CurrentUser.dictionaryId;
    if (ScalarInt(Q("select count(*) from tb_account_fun where accountId=@accountId and "
                    "departmentId=@departmentId"),
                  ParamMap{{Q("@accountId"), rs->value(0, 1).toInt()}, {Q("@departmentId"), department}}) ==
        0)
        return PassOutcome::Forbidden;
    if (!seen.right.isEmpty() &&
        ScalarInt(Q("select count(*) from tb_user_group_fun where funCode=@funCode and "
                    "departmentId=@departmentId"),
                  ParamMap{{Q("@funCode"), seen.right}, {Q("@departmentId"), department}}) == 0)
        return PassOutcome::Forbidden;
    return PassOutcome::Done;
}

BillStore::PassOutcome BillStore::SetPass(int id, bool pass, const QString& user, const QString& time,
                                          const Seen& seen)
{
    TransactionGuard guard;
    const PassOutcome may = mayActOn(id, seen);
    if (may != PassOutcome::Done)
        return may;
    const int changed = ExecuteParaSql(Q("update ") + m_dir.headTable +
                                           Q(" set ispass=@ispass, updateLastUser=@updateLastUser,"
                                             " updateLastTime=@updateLastTime where id=@id and ispass=@was"),
                                       ParamMap{{Q("@ispass"), pass ? 1 : 0},
                                                {Q("@updateLastUser"), user},
                                                {Q("@updateLastTime"), time},
                                                {Q("@id"), id},
                                                {Q("@was"), pass ? 0 : 1}});
    if (changed > 0) {
        guard.commit();
        return PassOutcome::Done;
    }
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
    case PassOutcome::Changed:
        return kRecordChangedText;
    case PassOutcome::Forbidden:
        return QStringLiteral("功能受限,请与系统管理联系!");
    default:
        return kMissingText;
    }
}

m_DBresult BillStore::Delete(int id, const Seen& seen)
{
    return RunTrans([&] {
        const PassOutcome may = mayActOn(id, seen);
        if (may != PassOutcome::Done)
            throw DbError(PassRefusal(may));
        requireEditable(id, kAuditedDeleteText);
        ExecuteParaSql(Q("Delete From ") + m_dir.lineTable + Q(" where headId=@headId"),
                       ParamMap{{Q("@headId"), id}});
        ExecuteChangingRow(Q("Delete From ") + m_dir.headTable + Q(" where id=@id"), ParamMap{{Q("@id"), id}},
                           kMissingText);
    });
}

// ---------------------------------------------------------------- reads

BillHead BillStore::readHead(const RecordSet& rs) const
{
    BillHead h;
    for (const Field<BillHead>* f : fieldsIn(headFields(), m_dir, Shown))
        f->read(rs, h, m_dir);
    return h;
}

BillLine BillStore::readLine(const RecordSet& rs) const
{
    BillLine l;
    for (const Field<BillLine>* f : fieldsIn(lineFields(), m_dir, Shown))
        f->read(rs, l, m_dir);
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

m_recordSet BillStore::GetListForCondition(const m_conditions& ilstPara)
{
    return SelectForConditions(Q("select ") + headColumns() + Q(" from ") + m_dir.headView + Q(" "),
                               ilstPara);
}

m_recordSet BillStore::GetLineListForCondition(const m_conditions& ilstPara)
{
    return SelectForConditions(Q("select ") + lineColumns() + Q(" from ") + m_dir.lineView + Q(" "),
                               ilstPara);
}

m_recordSet BillStore::GetBillLines(int headId)
{
    return SelectForConditions(Q("select 0 as selected,") + columnList(lineFields(), m_dir, Grid) +
                                   Q(" from ") + m_dir.lineView + Q(" "),
                               {m_condition(Q("headId"), Q("="), headId)}, Q(" order by rowNo,id"));
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
