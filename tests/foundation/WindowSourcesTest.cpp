// Windows hand records to data classes and show what those read; they hold no
// SQL of their own and run no statement or transaction themselves. The build
// hides and poisons the statement runners in window libraries
// (cmake/WindowLayer.h); this test reads the window sources for SQL text and
// runner names as well, so a slip shows with its file and line.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>

namespace
{

// Every window source: the ui folder of each part and the picker's own folder.
QStringList windowSources()
{
    const QDir root(QStringLiteral(WMS_SOURCE_DIR));
    QStringList files;
    const QStringList filters = {QStringLiteral("*.cpp"), QStringLiteral("*.h")};
    for (const QString& part : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString ui = root.filePath(part + QStringLiteral("/ui"));
        if (QDir(ui).exists()) {
            QDirIterator it(ui, filters, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext())
                files.append(it.next());
        }
    }
    const QDir picker(root.filePath(QStringLiteral("picker")));
    for (const QString& f : picker.entryList(filters, QDir::Files))
        files.append(picker.filePath(f));
    return files;
}

// A source with its comments blanked out (line breaks kept, so lines still
// count) and the text of its string literals, in order, each with its line.
struct Lexed {
    QString code;
    struct Literal {
        QString text;
        int line;
        qsizetype end; // the position in code after the literal
    };
    QList<Literal> literals;
};

Lexed lex(const QString& source)
{
    Lexed out;
    out.code.reserve(source.size());
    int line = 1;
    const qsizetype n = source.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = source.at(i);
        const QChar next = i + 1 < n ? source.at(i + 1) : QChar();
        if (c == QLatin1Char('/') && next == QLatin1Char('/')) {
            while (i < n && source.at(i) != QLatin1Char('\n'))
                ++i;
            continue;
        }
        if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
            i += 2;
            while (i < n &&
                   !(source.at(i) == QLatin1Char('*') && i + 1 < n && source.at(i + 1) == QLatin1Char('/'))) {
                if (source.at(i) == QLatin1Char('\n')) {
                    out.code.append(QLatin1Char('\n'));
                    ++line;
                }
                ++i;
            }
            i += 2;
            out.code.append(QLatin1Char(' '));
            continue;
        }
        if (c == QLatin1Char('R') && next == QLatin1Char('"')) {
            // A raw literal R"delim( ... )delim".
            const qsizetype open = source.indexOf(QLatin1Char('('), i + 2);
            const QString close = QLatin1Char(')') + source.mid(i + 2, open - i - 2) + QLatin1Char('"');
            const qsizetype end = source.indexOf(close, open);
            const QString text = source.mid(open + 1, end - open - 1);
            out.code.append(QStringLiteral("\"\""));
            out.literals.append({text, line, out.code.size()});
            line += int(text.count(QLatin1Char('\n')));
            i = end + close.size();
            continue;
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            QString text;
            qsizetype j = i + 1;
            while (j < n && source.at(j) != c && source.at(j) != QLatin1Char('\n')) {
                if (source.at(j) == QLatin1Char('\\') && j + 1 < n) {
                    const QChar e = source.at(j + 1);
                    text.append(e == QLatin1Char('n')   ? QLatin1Char('\n')
                                : e == QLatin1Char('t') ? QLatin1Char('\t')
                                                        : e);
                    j += 2;
                    continue;
                }
                text.append(source.at(j));
                ++j;
            }
            out.code.append(c).append(c);
            if (c == QLatin1Char('"'))
                out.literals.append({text, line, out.code.size()});
            i = j + 1;
            continue;
        }
        if (c == QLatin1Char('\n'))
            ++line;
        out.code.append(c);
        ++i;
    }
    return out;
}

// What a window source must not hold, one entry per finding ("line: what").
QStringList sqlProblems(const QString& source)
{
    const QRegularExpression sqlText(
        QStringLiteral(
            "\\b(select\\s|insert\\s+into|insert\\s+or\\s|replace\\s+into|delete\\s+from|"
            "update\\s+\\w+\\s+set|create\\s+(temp\\s+|unique\\s+)?(table|view|index|trigger)|"
            "drop\\s+(table|view|index|trigger)|alter\\s+table|order\\s+by|group\\s+by|"
            "begin\\s+(immediate|exclusive|transaction)|commit\\b|rollback\\b|savepoint\\s|pragma\\s|"
            "coalesce\\s*\\(|cast\\s*\\()"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpression runner(QStringLiteral(
        "\\b(ExecuteSql|ExecuteParaSql|OpenForwardQuery|OpenRowReader|RepeatedWrite|ExecuteTrans|RunTrans|"
        "RunWorkTableTrans|TransactionGuard|"
        "InTransaction|GetMaxValue|GetFieldValue|GetCountValue|GetRecordCount|CheckDeleteRef|ScalarInt|"
        "AllStored|"
        "SelectForConditions|ExecuteChangingRow|InsertWithNextId|AddWithNextId|ReadFirstShared|"
        "DeleteWithRefChecks|SaveChecked|FirstRefusal|RefCheck|TakeIds|StoredVersion|RequireUnchanged|"
        "UpdateUnchanged|"
        "GetRecordSetInfo|GetPageSql|ReadTreeLevel|"
        "GetStrSql|GetChildIds|SelectListOf|ConditionSql|GetConditionSql|GetConditionItem|ReportConditionSql|"
        "SharedConn|SharedRs|CalendarRs|QSql\\w*|sqlite3\\w*)\\b|"
        "#\\s*include\\s*[<\"](QtSql|sqlite3)"));
    const Lexed lexed = lex(source);
    QStringList problems;
    const auto lineAt = [&lexed](qsizetype pos) {
        return int(lexed.code.left(pos).count(QLatin1Char('\n'))) + 1;
    };
    for (auto m = runner.globalMatch(lexed.code); m.hasNext();) {
        const QRegularExpressionMatch hit = m.next();
        problems << QStringLiteral("%1: runs SQL (%2)").arg(lineAt(hit.capturedStart())).arg(hit.captured(0));
    }
    // Literals of one statement count as one text, so SQL split over several
    // pieces ("sel" "ect", "delete " + QStringLiteral("from")) is found too.
    QString joined;
    int firstLine = 0;
    qsizetype last = 0;
    const auto flush = [&] {
        if (!joined.isEmpty() && sqlText.match(joined).hasMatch())
            problems << QStringLiteral("%1: holds SQL (%2)").arg(firstLine).arg(joined.left(80));
        joined.clear();
    };
    for (const Lexed::Literal& l : lexed.literals) {
        const QString between = lexed.code.mid(last, l.end - 2 - last);
        if (between.contains(QLatin1Char(';')) || between.contains(QLatin1Char('{')) ||
            between.contains(QLatin1Char('}')))
            flush();
        if (joined.isEmpty())
            firstLine = l.line;
        joined += l.text;
        last = l.end;
    }
    flush();
    return problems;
}

// The forms a window might slip SQL in by: each is found, and the ordinary
// texts of a window are not.
TEST(WindowSources, TheCheckFindsEveryFormOfSql)
{
    const struct {
        const char* source;
        bool found;
    } cases[] = {
        {R"c(ExecuteSql(QStringLiteral("x"));)c", true},
        {R"c(const int n = ExecuteParaSql(text, params);)c", true},
        {R"c(m_DBresult r = RunTrans([&] { save(); });)c", true},
        {R"c(TransactionGuard guard;)c", true},
        {R"c(const m_DBresult r = RunWorkTableTrans([&] { fill(); });)c", true},
        {R"c(const std::unique_ptr<RowReader> rows = OpenRowReader(text, params);)c", true},
        {R"c(const std::unique_ptr<RowReader> rows = m_data->ReadKeptRows(true);)c", false},
        {R"c(const int id = GetMaxValue(QStringLiteral("id"), table).toInt() + 1;)c", true},
        {R"c(AddWithNextId(table, type, [this](const m_dictionary& m) { dal.Add(m); });)c", true},
        {R"c(DeleteWithRefChecks(checks, [&] { remove(); });)c", true},
        {R"c(QSqlQuery q(db);)c", true},
        {R"c(QSqlDatabase db = SharedConn();)c", true},
        {R"c(const int used = ScalarInt(text);)c", true},
        {R"c(#include <QtSql/QSqlQuery>)c", true},
        {R"c(auto v = GetFieldValue(field, table);)c", true},
        {R"c(ReadFirstShared(text, params, read);)c", true},
        {R"c(const RefCheckResult r = FirstRefusal(dal_usergrp::DeleteChecks(id, text));)c", true},
        {R"c(checks << RefCheck::Uses(text, table, column, id);)c", true},
        {R"c(const QString paged = GetPageSql(query.sql, pageIndex, 20, field, false, params);)c", true},
        {R"c(const m_recordSet page = GetRecordSetInfo(paged, whole, params);)c", true},
        {R"c(const RecordSetPtr rs = ReadTreeLevel(table, parentId);)c", true},
        {R"c(const EventListQuery q = GetStrSql(byDate, day, keyword);)c", true},
        {R"c(NList(GetChildIds(typeId, table, column));)c", true},
        {R"c(m_dal.GetListForCondition(conditions, SelectListOf(columns));)c", true},
        {R"c(m_data->GetDataTable(ConditionSql{QStringLiteral("1=1")}, {}, true);)c", true},
        {R"c(const auto where = GetConditionSql(conditions);)c", true},
        {R"c(const RecordSetPtr rows = m_data->GetPage(m_page, ReportRows::Grid);)c", false},
        {R"c(const TreeLevelReader levels = dal_usergrp::GrantTree(g);)c", false},
        {R"c(sqlite3_exec(handle, text, nullptr, nullptr, nullptr);)c", true},
        {R"c(const QString s = QStringLiteral("select id from tb_goods_head");)c", true},
        {R"c(const QString s = QStringLiteral("sel" "ect id " "from tb_x");)c", true},
        {"const QString s = QStringLiteral(\"delete \")\n    + QStringLiteral(\"from tb_goods_head where "
         "id=1\");",
         true},
        {"const QString s = QStringLiteral(\"update tb_location \"\n                                  \"set "
         "uname=''\");",
         true},
        {R"c(const QString s = QStringLiteral("insert " "into tb_x values (1)");)c", true},
        {R"c(const QString s = QString::fromUtf8("BEGIN IMMEDIATE");)c", true},
        {R"c(const QString s = QStringLiteral(R"x(order by id)x");)c", true},
        {R"c(warn(QStringLiteral("货品类别[") + name + QStringLiteral("]存在,请重新输入!"));)c", false},
        {R"c(// ExecuteSql(QStringLiteral("select 1")); was here)c", false},
        {"/* RunTrans\n   select * from x */ int a = 0;", false},
        {R"c(m_condition(QStringLiteral("goodsCode"), QStringLiteral("like"), text);)c", false},
        {R"c(warn(QStringLiteral("请选择")); setText(QStringLiteral("id from")); )c", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        EXPECT_EQ(!sqlProblems(QString::fromUtf8(c.source)).isEmpty(), c.found);
    }
}

TEST(WindowSources, HoldNoSqlAndRunNoStatement)
{
    const QStringList files = windowSources();
    ASSERT_GT(files.size(), 40) << "the window sources were not found under " << WMS_SOURCE_DIR;
    for (const QString& path : files) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
        for (const QString& problem : sqlProblems(QString::fromUtf8(f.readAll())))
            ADD_FAILURE() << path.toStdString() << ":" << problem.toStdString();
    }
}

} // namespace
