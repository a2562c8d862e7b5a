#include "dal_rpt_Report.h"

#include "DbError.h"
#include "Numbers.h"
#include "PrintXml.h"
#include "ReportFunctions.h"
#include "sqlHelper.h"

dal_rpt_Report::dal_rpt_Report(ReportSetup setup) : m_setup(std::move(setup))
{
    CheckSqlName(m_setup.workTable);
}

void dal_rpt_Report::ensureTable() const
{
    // The connection may have been opened anew since the last search: the
    // table and the formatter live as long as their connection.
    RegisterReportFunctions();
    ExecuteSql(QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS ") + m_setup.workTable + QStringLiteral(" (") +
               m_setup.columnDefs + QStringLiteral(")"));
}

m_DBresult dal_rpt_Report::insert_temp(const ReportFill& fill)
{
    m_unfilled.reset();
    return RunWorkTableTrans([&] {
        ensureTable();
        ExecuteSql(QStringLiteral("DELETE FROM ") + m_setup.workTable);
        const ConditionSql insert = m_setup.fillStatement(fill);
        ExecuteParaSql(insert.sql, insert.params);
    });
}

QString dal_rpt_Report::selectFrom(const QString& str_sql) const
{
    const QString select =
        str_sql.trimmed().isEmpty() ? QStringLiteral("select ") + m_setup.fullColumns : str_sql;
    return select + QStringLiteral(" from ") + m_setup.workTable + QStringLiteral(" where 1=1 ");
}

QString dal_rpt_Report::OrderText(const m_PageInfor& page)
{
    const QString order = page.str_orderBy.trimmed();
    if (order.isEmpty())
        return {};
    CheckSqlExpression(order);
    const QString dir = page.isDesc ? QStringLiteral(" desc") : QStringLiteral(" asc");
    QString text = QStringLiteral(" order by ") + order + dir;
    if (order.compare(QLatin1String("id"), Qt::CaseInsensitive) != 0)
        text += QStringLiteral(", id") + dir;
    return text;
}

m_recordSet dal_rpt_Report::GetListForCondition(const ReportFill& fill, const m_conditions& list,
                                                m_PageInfor& page, const QString& str_sql)
{
    m_recordSet out;
    if (m_setup.direct && list.isEmpty() &&
        page.str_orderBy.trimmed().compare(m_setup.direct->order(), Qt::CaseInsensitive) == 0) {
        // Counted and paged from the bills; a failure is the search's, as a
        // failed rebuild is, and keeps the previous search for the reads.
        try {
            ensureTable();
            const int count = m_setup.direct->Count(fill, page.isDesc);
            const std::optional<ReportFill> previous = m_unfilled;
            m_unfilled = fill;
            page.recordCount = count;
            try {
                out.recordSet = GetPage({}, page, str_sql);
            } catch (...) {
                m_unfilled = previous;
                throw;
            }
            out.recordCount = count;
            return out;
        } catch (const DbError& e) {
            page.recordCount = 0;
            out = m_recordSet();
            out.str_MsgBox = e.message();
            return out;
        }
    }
    const m_DBresult rebuilt = insert_temp(fill);
    if (!rebuilt.isResult) {
        out.str_MsgBox = rebuilt.str_MsgBox;
        return out;
    }
    out.str_condition = ReportConditionSql(list, QStringLiteral("@c"));
    const RecordSetPtr n = ExecuteSql(QStringLiteral("select count(*) from ") + m_setup.workTable +
                                          QStringLiteral(" where 1=1 ") + out.str_condition.sql,
                                      out.str_condition.params);
    out.recordCount = n && !n->isEmpty() ? n->value(0, 0).toInt() : 0;
    page.recordCount = out.recordCount;
    out.recordSet = GetPage(out.str_condition, page, str_sql);
    return out;
}

RecordSetPtr dal_rpt_Report::GetPage(const ConditionSql& condition, m_PageInfor& page, const QString& str_sql)
{
    const int size = qMax(1, page.int_PageSize);
    const int pages = (page.recordCount + size - 1) / size;
    page.int_currentPageIndex = qBound(1, page.int_currentPageIndex, qMax(1, pages));
    if (page.recordCount < 1)
        return std::make_shared<RecordSet>();
    if (readsDirect(condition, page))
        return directPage(page, str_sql, size);
    ensureFilled();
    ParamMap params = condition.params;
    params.Add(QStringLiteral("@pageSize"), size);
    params.Add(QStringLiteral("@pageStart"), (page.int_currentPageIndex - 1) * size);
    return ExecuteSql(selectFrom(str_sql) + condition.sql + OrderText(page) +
                          QStringLiteral(" limit @pageSize offset @pageStart"),
                      params);
}

bool dal_rpt_Report::readsDirect(const ConditionSql& condition, const m_PageInfor& page) const
{
    return m_unfilled && m_setup.direct && condition.isEmpty() &&
           page.str_orderBy.trimmed().compare(m_setup.direct->order(), Qt::CaseInsensitive) == 0;
}

RecordSetPtr dal_rpt_Report::directPage(m_PageInfor& page, const QString& str_sql, int size)
{
    // The page's rows go through a table of the work table's columns, so
    // that they come back with the types the work table would give them.
    const QString pageTable = m_setup.workTable + QStringLiteral("_page");
    const QString orderText = OrderText(page);
    const ConditionSql rows = m_setup.direct->Page(*m_unfilled, page.isDesc, orderText,
                                                   (page.int_currentPageIndex - 1) * size, size);
    const m_DBresult written = RunWorkTableTrans([&] {
        ExecuteSql(QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS ") + pageTable + QStringLiteral(" (") +
                   m_setup.columnDefs + QStringLiteral(")"));
        ExecuteSql(QStringLiteral("DELETE FROM ") + pageTable);
        ExecuteParaSql(QStringLiteral("INSERT INTO ") + pageTable + QStringLiteral("(") +
                           m_setup.fullColumns + QStringLiteral(") SELECT ") + m_setup.fullColumns +
                           QStringLiteral(" FROM (") + rows.sql + QStringLiteral(")"),
                       rows.params);
    });
    if (!written.isResult)
        throw DbError(written.str_MsgBox);
    const QString select =
        str_sql.trimmed().isEmpty() ? QStringLiteral("select ") + m_setup.fullColumns : str_sql;
    return ExecuteSql(select + QStringLiteral(" from ") + pageTable + orderText);
}

void dal_rpt_Report::ensureFilled()
{
    if (!m_unfilled)
        return;
    const ReportFill fill = *m_unfilled;
    const m_DBresult r = insert_temp(fill);
    if (!r.isResult) {
        m_unfilled = fill;
        throw DbError(r.str_MsgBox);
    }
}

QString dal_rpt_Report::dataTableSql(const ConditionSql& condition, const QString& orderText,
                                     bool isExportExcel) const
{
    ensureTable();
    return QStringLiteral("select ") + (isExportExcel ? m_setup.exportColumns : m_setup.fullColumns) +
           QStringLiteral(" from ") + m_setup.workTable + QStringLiteral(" where 1=1 ") + condition.sql +
           orderText;
}

RecordSetPtr dal_rpt_Report::GetDataTable(const ConditionSql& condition, const QString& orderText,
                                          bool isExportExcel)
{
    ensureFilled();
    return ExecuteSql(dataTableSql(condition, orderText, isExportExcel), condition.params);
}

std::unique_ptr<RowReader> dal_rpt_Report::ReadDataTable(const ConditionSql& condition,
                                                         const QString& orderText, bool isExportExcel)
{
    ensureFilled();
    return std::make_unique<RowReader>(dataTableSql(condition, orderText, isExportExcel), condition.params);
}

QDomElement dal_rpt_Report::GetDetailRowNode(const ConditionSql& condition, const m_PageInfor* page,
                                             const QString& str_templeteName)
{
    const RecordSetPtr rows = GetDataTable(condition, page ? OrderText(*page) : QString(), false);
    return BuildDataRecordNode(rows, str_templeteName, QStringLiteral("Content/DataDetail/DataCols"));
}
