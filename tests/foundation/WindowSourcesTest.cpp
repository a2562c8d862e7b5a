// Windows hand records to data classes and show what those read; they hold no
// SQL of their own and run no statement or transaction themselves.

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

TEST(WindowSources, HoldNoSqlAndRunNoStatement)
{
    // SQL inside a string literal, and the runners of statements and transactions.
    const QRegularExpression literal(QStringLiteral(R"re("((?:[^"\\\n]|\\.)*)")re"));
    const QRegularExpression sqlText(
        QStringLiteral(
            "\\b(select\\s|insert\\s+into|delete\\s+from|update\\s+\\w+\\s+set|"
            "create\\s+(temp\\s+)?(table|view|index)|drop\\s+table|order\\s+by|coalesce\\(|cast\\()"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpression runner(QStringLiteral("\\b(ExecuteSql|ExecuteParaSql|ExecuteTrans|RunTrans|"
                                                   "GetMaxValue|GetFieldValue|GetCountValue|CheckDeleteRef|"
                                                   "TransactionGuard)\\b"));
    const QStringList files = windowSources();
    ASSERT_GT(files.size(), 40) << "the window sources were not found under " << WMS_SOURCE_DIR;
    for (const QString& path : files) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
        const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
        for (int i = 0; i < lines.size(); ++i) {
            const QString& line = lines.at(i);
            if (line.trimmed().startsWith(QLatin1String("//")))
                continue;
            for (auto m = literal.globalMatch(line); m.hasNext();) {
                EXPECT_FALSE(sqlText.match(m.next().captured(1)).hasMatch())
                    << path.toStdString() << ":" << i + 1 << " holds SQL: " << line.trimmed().toStdString();
            }
            EXPECT_FALSE(runner.match(line).hasMatch())
                << path.toStdString() << ":" << i + 1 << " runs SQL: " << line.trimmed().toStdString();
        }
    }
}

} // namespace
