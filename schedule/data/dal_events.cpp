#include "dal_events.h"

#include "CalendarMonth.h"
#include "DataAccess.h"
#include "Numbers.h"
#include "sqlHelper.h"

#include <QRegularExpression>

namespace
{

m_events readModel(const RecordSet& rs)
{
    m_events m;
    m.id = int(ReadNumber(rs.value(0, QStringLiteral("id"))));
    m.eventContent = rs.text(0, QStringLiteral("eventContent"));
    m.createTime = rs.text(0, QStringLiteral("createTime"));
    m.flgType = rs.text(0, QStringLiteral("flgType"));
    m.isstart = ReadNumber(rs.value(0, QStringLiteral("isStart"))) != 0;
    m.createUserId = int(ReadNumber(rs.value(0, QStringLiteral("createUserId"))));
    return m;
}

ParamMap writeParams(const m_events& m)
{
    ParamMap p;
    p.Add(QStringLiteral("@id"), m.id);
    p.Add(QStringLiteral("@eventContent"), m.eventContent);
    p.Add(QStringLiteral("@createTime"), m.createTime);
    p.Add(QStringLiteral("@createUserId"), m.createUserId);
    p.Add(QStringLiteral("@flgType"), m.flgType);
    p.Add(QStringLiteral("@isStart"), m.isstart ? 1 : 0);
    return p;
}

} // namespace

m_DBresult dal_events::Add(m_events& obj_Model)
{
    return AddWithNextId(QStringLiteral("tb_events"), obj_Model, [](const m_events& m) {
        ExecuteParaSql(
            QStringLiteral("insert into tb_events (id,eventContent,createTime,createUserId,flgType,isStart) "
                           " values (@id,@eventContent,@createTime,@createUserId,@flgType,@isStart) "),
            writeParams(m));
    });
}

m_events dal_events::GetModel(int int_Id)
{
    ParamMap p;
    p.Add(QStringLiteral("@id"), int_Id);
    return ReadFirstShared(QStringLiteral("SELECT id,eventContent,createTime,createUserId,flgType,isStart "
                                          " from tb_events  where id=@id"),
                           p, &readModel);
}

m_DBresult dal_events::Update(const m_events& obj_Model)
{
    return RunTrans([&] {
        ExecuteChangingRow(
            QStringLiteral("update tb_events  set createTime=@createTime, eventContent=@eventContent, "
                           " flgType=@flgType,  isStart=@isStart  where id=@id"),
            writeParams(obj_Model));
    });
}

m_DBresult dal_events::Delete(int int_Id)
{
    return RunTrans([&] {
        ParamMap p;
        p.Add(QStringLiteral("@id"), int_Id);
        ExecuteChangingRow(QStringLiteral("Delete From tb_events where id=@id"), p);
    });
}

m_DBresult dal_events::DeleteMore(const QString& str_idJoin)
{
    // The list goes into the statement as text: only whole numbers and commas pass.
    static const QRegularExpression idList(QStringLiteral("^\\d+(,\\d+)*$"));
    if (!idList.match(str_idJoin).hasMatch()) {
        m_DBresult bad;
        bad.str_MsgBox = QStringLiteral("没有选中项!");
        return bad;
    }
    return RunTrans([&] {
        ExecuteChangingRow(QStringLiteral("Delete From tb_events where id in (%1)").arg(str_idJoin), {});
    });
}

QString EventTimeText(const QDateTime& time)
{
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QDateTime ParseEventTime(const QString& text)
{
    const QString t = text.trimmed();
    static const char* const forms[] = {"yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd HH:mm",   "yyyy-MM-dd H:mm:ss",
                                        "yyyy/M/d H:mm:ss",    "yyyy/M/d H:mm",      "yyyy-M-d H:mm:ss",
                                        "yyyy-M-d H:mm",       "yyyy-MM-ddTHH:mm:ss"};
    for (const char* f : forms) {
        const QDateTime d = QDateTime::fromString(t, QString::fromLatin1(f));
        if (d.isValid())
            return d;
    }
    for (const char* f : {"yyyy-MM-dd", "yyyy-M-d", "yyyy/M/d"}) {
        const QDate d = QDate::fromString(t, QString::fromLatin1(f));
        if (d.isValid())
            return QDateTime(d, QTime(0, 0));
    }
    return {};
}

m_recordSet dal_events::ListPage(bool byDate, const QDate& date, const QString& keyword, int& pageIndex,
                                 int pageSize, int orderColumn, bool isDesc)
{
    static const char* const columns[] = {"id", "flgType", "eventContent", "createTime"};
    const QString orderField = QString::fromLatin1(columns[qBound(0, orderColumn, 3)]);
    const EventListQuery query = GetStrSql(byDate, date, keyword);
    const QString paged = GetPageSql(query.sql, pageIndex, pageSize, orderField, isDesc, query.params);
    return GetRecordSetInfo(paged, query.sql, query.params);
}
