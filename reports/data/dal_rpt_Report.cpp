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
    return RunTrans([&] {
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
    ParamMap params = condition.params;
    params.Add(QStringLiteral("@pageSize"), size);
    params.Add(QStringLiteral("@pageStart"), (page.int_currentPageIndex - 1) * size);
    return ExecuteSql(selectFrom(str_sql) + condition.sql + OrderText(page) +
                          QStringLiteral(" limit @pageSize offset @pageStart"),
                      params);
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
    return ExecuteSql(dataTableSql(condition, orderText, isExportExcel), condition.params);
}

std::unique_ptr<RowReader> dal_rpt_Report::ReadDataTable(const ConditionSql& condition,
                                                         const QString& orderText, bool isExportExcel)
{
    return std::make_unique<RowReader>(dataTableSql(condition, orderText, isExportExcel), condition.params);
}

QDomElement dal_rpt_Report::GetDetailRowNode(const ConditionSql& condition, const m_PageInfor* page,
                                             const QString& str_templeteName)
{
    const RecordSetPtr rows = GetDataTable(condition, page ? OrderText(*page) : QString(), false);
    return BuildDataRecordNode(rows, str_templeteName, QStringLiteral("Content/DataDetail/DataCols"));
}
