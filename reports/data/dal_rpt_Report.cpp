#include "dal_rpt_Report.h"

#include "DbError.h"
#include "Numbers.h"
#include "PrintXml.h"
#include "ReportFunctions.h"
#include "ReportSetup.h"
#include "mod_public.h"
#include "sqlHelper.h"

#include <QRegularExpression>

dal_rpt_Report::dal_rpt_Report(ReportSetup setup)
    : m_setup(std::make_shared<const ReportSetup>(std::move(setup)))
{
    CheckSqlName(m_setup->workTable);
    if (m_setup->sumsFill)
        CheckSqlName(m_setup->sumsTable);
}

dal_rpt_Report::dal_rpt_Report(ReportSetup (*makeSetup)(BillDirection), BillDirection dir)
    : dal_rpt_Report(makeSetup(dir))
{
}

void dal_rpt_Report::ensureTable() const
{
    // The connection may have been opened anew since the last search: the
    // tables and the formatters live as long as their connection.
    RegisterReportFunctions();
    ExecuteSql(QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS ") + m_setup->workTable +
               QStringLiteral(" (") + m_setup->columnDefs + QStringLiteral(")"));
    ExecuteSql(QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS ") + keysTable() +
               QStringLiteral(" (pos INTEGER PRIMARY KEY, id INTEGER)"));
    if (m_setup->sumsFill)
        ExecuteSql(QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS ") + m_setup->sumsTable +
                   QStringLiteral(" (") + m_setup->sumsColumnDefs + QStringLiteral(")"));
}

bool dal_rpt_Report::namesSums(const QString& text) const
{
    for (const QString& field : m_setup->sumsFields) {
        const QRegularExpression name(QStringLiteral("\\b") + QRegularExpression::escape(field) +
                                          QStringLiteral("\\b"),
                                      QRegularExpression::CaseInsensitiveOption);
        if (name.match(text).hasMatch())
            return true;
    }
    return false;
}

void dal_rpt_Report::fillSums(const ReportFill& fill) const
{
    ExecuteSql(QStringLiteral("DELETE FROM ") + m_setup->sumsTable);
    const ConditionSql sums = m_setup->sumsFill(fill);
    ExecuteParaSql(sums.sql, sums.params);
}

void dal_rpt_Report::fixSums()
{
    if (!m_setup->sumsFill || !m_keptFill || m_sumsFixed)
        return;
    const m_DBresult done = RunWorkTableTrans([&] {
        ensureTable();
        fillSums(*m_keptFill);
    });
    if (!done.isResult)
        throw DbError(done.str_MsgBox, done.str_Details);
    m_sumsFixed = true;
}

m_DBresult dal_rpt_Report::insert_temp(const ReportFill& fill)
{
    return RunWorkTableTrans([&] {
        ensureTable();
        ExecuteSql(QStringLiteral("DELETE FROM ") + m_setup->workTable);
        const ConditionSql insert = m_setup->fillStatement(fill);
        ExecuteParaSql(insert.sql, insert.params);
    });
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

QString dal_rpt_Report::keysTable() const
{
    return m_setup->workTable + QStringLiteral("_keys");
}

QString dal_rpt_Report::keptRows(bool withGone) const
{
    const QString join = withGone ? QStringLiteral("LEFT JOIN") : QStringLiteral("CROSS JOIN");
    if (m_setup->keptRows && !withGone && !m_setup->keyAccount.isEmpty() && CurrentUser.id > 0)
        // The kept keys whose bills the user's department may see now.
        return m_setup->keptRows(
            QStringLiteral("(SELECT k0.pos AS pos, k0.id AS id FROM ") + keysTable() +
                QStringLiteral(" AS k0 WHERE ") + m_setup->keyAccount +
                QStringLiteral(" IN (SELECT accountId FROM tb_account_fun WHERE departmentId = %1))")
                    .arg(CurrentUser.dictionaryId),
            join);
    if (m_setup->keptRows)
        return m_setup->keptRows(keysTable(), join);
    return QStringLiteral("SELECT k.pos AS rpt_pos, k.id AS rpt_key, w.* FROM ") + keysTable() +
           QStringLiteral(" AS k ") + join + QStringLiteral(" ") + m_setup->workTable +
           QStringLiteral(" AS w ON w.rowid = k.id");
}

QString dal_rpt_Report::sortOrder(const m_PageInfor& page) const
{
    const QString field = page.str_orderBy.simplified();
    for (const auto& [order, key] : m_setup->sortKeys) {
        if (field.compare(order, Qt::CaseInsensitive) == 0) {
            m_PageInfor keyed = page;
            keyed.str_orderBy = key;
            return OrderText(keyed);
        }
    }
    return OrderText(page);
}

QString dal_rpt_Report::keptSql(const QString& select, const QString& tail) const
{
    return select + QStringLiteral(" from (") + keptRows() + QStringLiteral(") AS r") + tail;
}

int dal_rpt_Report::keepKeys(const QString& keys, const ParamMap& params)
{
    // The new keys are written beside the kept ones and take their place
    // only when complete; the positions are the insert order.
    const QString next = keysTable() + QStringLiteral("_next");
    ExecuteSql(QStringLiteral("DROP TABLE IF EXISTS temp.") + next);
    ExecuteSql(QStringLiteral("CREATE TEMP TABLE ") + next +
               QStringLiteral(" (pos INTEGER PRIMARY KEY, id INTEGER)"));
    ExecuteParaSql(QStringLiteral("INSERT INTO ") + next + QStringLiteral(" (id) ") + keys, params);
    ExecuteSql(QStringLiteral("DROP TABLE temp.") + keysTable());
    ExecuteSql(QStringLiteral("ALTER TABLE temp.") + next + QStringLiteral(" RENAME TO ") + keysTable());
    const RecordSetPtr n = ExecuteSql(QStringLiteral("SELECT COALESCE(MAX(pos), 0) FROM ") + keysTable());
    return n && !n->isEmpty() ? n->value(0, 0).toInt() : 0;
}

m_recordSet dal_rpt_Report::GetListForCondition(const ReportFill& fill, const m_conditions& list,
                                                m_PageInfor& page, ReportRows rows)
{
    m_recordSet out;
    const ConditionSql condition = ReportConditionSql(list, QStringLiteral("@c"));
    const QString order = OrderText(page);
    // Rows chosen or ordered by a sum need the sums of every row; otherwise
    // the keys are those of the goods alone, and a page sums its own rows.
    const bool sums = m_setup->sumsFill && (namesSums(condition.sql) || namesSums(order));
    ConditionSql pageRows;
    int count = 0;
    const m_DBresult kept = RunWorkTableTrans([&] {
        ensureTable();
        ConditionSql keys;
        if (m_setup->searchRows) {
            if (sums)
                fillSums(fill);
            if (m_setup->pageRows)
                pageRows = m_setup->pageRows(keysTable(), fill);
            const ConditionSql rows = m_setup->searchRows(fill);
            keys.sql = QStringLiteral("SELECT id FROM (") + rows.sql + QStringLiteral(") AS r WHERE 1=1");
            keys.params = rows.params;
        } else {
            ExecuteSql(QStringLiteral("DELETE FROM ") + m_setup->workTable);
            const ConditionSql insert = m_setup->fillStatement(fill);
            ExecuteParaSql(insert.sql, insert.params);
            keys.sql =
                QStringLiteral("SELECT rowid FROM ") + m_setup->workTable + QStringLiteral(" WHERE 1=1");
        }
        keys.sql += condition.sql + sortOrder(page);
        keys.params.Merge(condition.params);
        count = keepKeys(keys.sql, keys.params);
    });
    if (!kept.isResult) {
        page.recordCount = 0;
        out.str_MsgBox = kept.str_MsgBox;
        out.str_Details = kept.str_Details;
        return out;
    }
    m_keptOrder = order;
    m_keptCount = count;
    if (m_setup->sumsFill)
        m_keptFill = fill;
    m_keptWhere = condition.sql;
    m_keptWhereParams = condition.params;
    m_keptPageRows = pageRows.sql;
    m_keptPageRowsParams = pageRows.params;
    m_sumsFixed = sums;
    out.str_condition = condition.sql;
    out.recordCount = count;
    page.recordCount = count;
    out.recordSet = GetPage(page, rows);
    return out;
}

int dal_rpt_Report::Reorder(const m_PageInfor& page)
{
    const QString order = OrderText(page);
    const bool sums = m_setup->sumsFill && m_keptFill && !m_sumsFixed && namesSums(order);
    int count = 0;
    const m_DBresult done = RunWorkTableTrans([&] {
        ensureTable();
        if (sums)
            fillSums(*m_keptFill);
        // The order's fields are those of the rows; ties keep the row id.
        // Rows deleted since the search have no fields to sort by: their keys
        // follow the others in their kept order, so the count stays that of
        // the search, as it is before a re-order. One pass over every key.
        const QString sorted = sortOrder(page); // " order by <fields>"
        const QString fields =
            sorted.isEmpty() ? QString() : sorted.mid(int(qstrlen(" order by "))) + QStringLiteral(", ");
        count =
            keepKeys(QStringLiteral("SELECT rpt_key FROM (") + keptRows(true) +
                         QStringLiteral(") AS r order by id IS NULL, ") + fields + QStringLiteral("rpt_pos"),
                     {});
    });
    if (!done.isResult)
        throw DbError(done.str_MsgBox);
    m_keptOrder = order;
    m_keptCount = count;
    m_sumsFixed = m_sumsFixed || sums;
    return count;
}

RecordSetPtr dal_rpt_Report::GetPage(m_PageInfor& page, ReportRows rows)
{
    if (OrderText(page) != m_keptOrder)
        page.recordCount = Reorder(page);
    const int size = qMax(1, page.int_PageSize);
    const int pages = (page.recordCount + size - 1) / size;
    page.int_currentPageIndex = qBound(1, page.int_currentPageIndex, qMax(1, pages));
    if (page.recordCount < 1)
        return std::make_shared<RecordSet>();
    ensureTable();
    const QString select = rows == ReportRows::Grid && !m_setup->gridSelect.isEmpty()
                               ? m_setup->gridSelect
                               : QStringLiteral("select ") + m_setup->fullColumns;
    // A page of a report with sums reads its own rows' sums, unless the sums
    // of every row are written for this search already.
    ConditionSql rowsSql;
    if (!m_keptPageRows.isEmpty() && !m_sumsFixed) {
        rowsSql.sql = m_keptPageRows;
        rowsSql.params = m_keptPageRowsParams;
    } else
        rowsSql.sql = keptRows();
    ParamMap& params = rowsSql.params;
    const int first = (page.int_currentPageIndex - 1) * size + 1;
    params.Add(QStringLiteral("@first"), first);
    params.Add(QStringLiteral("@last"), first + size - 1);
    // The positions bound the keys read; the rows come in position order.
    return ExecuteSql(select + QStringLiteral(" from (") + rowsSql.sql +
                          QStringLiteral(" WHERE k.pos BETWEEN @first AND @last) AS r order by rpt_pos"),
                      params);
}

RecordSetPtr dal_rpt_Report::GetKeptRows(bool isExportExcel)
{
    ensureTable();
    fixSums();
    return ExecuteSql(
        keptSql(QStringLiteral("select ") + (isExportExcel ? m_setup->exportColumns : m_setup->fullColumns),
                QStringLiteral(" order by rpt_pos")));
}

std::unique_ptr<RowReader> dal_rpt_Report::ReadKeptRows(bool isExportExcel)
{
    ensureTable();
    fixSums();
    return OpenRowReader(
        keptSql(QStringLiteral("select ") + (isExportExcel ? m_setup->exportColumns : m_setup->fullColumns),
                QStringLiteral(" order by rpt_pos")));
}

RecordSetPtr dal_rpt_Report::GetDataTable(const QString& orderText, bool isExportExcel)
{
    ensureTable();
    fixSums();
    const QString order = orderText.trimmed().isEmpty() ? QStringLiteral(" order by rpt_pos") : orderText;
    return ExecuteSql(
        keptSql(QStringLiteral("select ") + (isExportExcel ? m_setup->exportColumns : m_setup->fullColumns),
                QStringLiteral(" where 1=1 ") + m_keptWhere + order),
        m_keptWhereParams);
}

QDomElement dal_rpt_Report::GetDetailRowNode(const QString& str_templeteName)
{
    return BuildDataRecordNode(GetKeptRows(false), str_templeteName,
                               QStringLiteral("Content/DataDetail/DataCols"));
}
