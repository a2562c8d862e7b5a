#include "TestEnv.h"

#include "Clock.h"
#include "ExcelExport.h"
#include "Launcher.h"
#include "RowReader.h"
#include "WorkProgress.h"
#include "sqlHelper.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QProgressDialog>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace
{

// One cell read back from the workbook: its text and its font size.
struct Cell {
    QString text;
    bool isNumber = false;
    double fontSize = 0;
    QString numberFormat; // "General" unless a display format was set
};

// A workbook read back through its XML parts.
class Workbook
{
  public:
    explicit Workbook(const QString& path) : m_path(path)
    {
        QStringList shared;
        const QDomDocument strings = part(QStringLiteral("xl/sharedStrings.xml"), true);
        const QDomNodeList si = strings.elementsByTagName(QStringLiteral("si"));
        for (int i = 0; i < si.size(); ++i)
            shared.append(si.at(i).toElement().text());

        const QDomDocument styles = part(QStringLiteral("xl/styles.xml"));
        QList<double> fontSizes;
        const QDomNodeList fonts = styles.documentElement()
                                       .firstChildElement(QStringLiteral("fonts"))
                                       .elementsByTagName(QStringLiteral("font"));
        for (int i = 0; i < fonts.size(); ++i)
            fontSizes.append(fonts.at(i)
                                 .firstChildElement(QStringLiteral("sz"))
                                 .attribute(QStringLiteral("val"))
                                 .toDouble());
        const QDomNodeList xfs = styles.documentElement()
                                     .firstChildElement(QStringLiteral("cellXfs"))
                                     .elementsByTagName(QStringLiteral("xf"));
        QMap<int, QString> numFmts = {{0, QStringLiteral("General")},
                                      {1, QStringLiteral("0")},
                                      {2, QStringLiteral("0.00")},
                                      {3, QStringLiteral("#,##0")},
                                      {4, QStringLiteral("#,##0.00")}};
        const QDomNodeList customFmts = styles.documentElement().elementsByTagName(QStringLiteral("numFmt"));
        for (int i = 0; i < customFmts.size(); ++i) {
            const QDomElement f = customFmts.at(i).toElement();
            numFmts.insert(f.attribute(QStringLiteral("numFmtId")).toInt(),
                           f.attribute(QStringLiteral("formatCode")));
        }
        for (int i = 0; i < xfs.size(); ++i) {
            const QDomElement xf = xfs.at(i).toElement();
            m_styleFontSize.append(fontSizes.value(xf.attribute(QStringLiteral("fontId")).toInt()));
            m_styleNumFmt.append(numFmts.value(xf.attribute(QStringLiteral("numFmtId")).toInt()));
        }

        m_sheet = part(QStringLiteral("xl/worksheets/sheet1.xml"));
        const QDomNodeList cells = m_sheet.elementsByTagName(QStringLiteral("c"));
        for (int i = 0; i < cells.size(); ++i) {
            const QDomElement c = cells.at(i).toElement();
            Cell cell;
            const QString v = c.firstChildElement(QStringLiteral("v")).text();
            if (c.attribute(QStringLiteral("t")) == QLatin1String("s")) {
                cell.text = shared.value(v.toInt());
            } else if (c.attribute(QStringLiteral("t")) == QLatin1String("inlineStr")) {
                cell.text = c.firstChildElement(QStringLiteral("is")).text();
            } else {
                cell.text = v;
                cell.isNumber = !v.isEmpty();
            }
            const int style = c.attribute(QStringLiteral("s"), QStringLiteral("0")).toInt();
            cell.fontSize = m_styleFontSize.value(style);
            cell.numberFormat = m_styleNumFmt.value(style);
            m_cells.insert(c.attribute(QStringLiteral("r")), cell);
        }
    }

    const QMap<QString, Cell>& cells() const { return m_cells; }
    QString text(const QString& ref) const { return m_cells.value(ref).text; }
    // Font size of the cells nothing was written into: the default style
    // (0), as no column of the sheet names one.
    double emptyCellFontSize() const
    {
        if (!m_sheet.elementsByTagName(QStringLiteral("col")).isEmpty())
            return 0;
        return m_styleFontSize.value(0);
    }
    // The range the sheet declares it uses ("A1:D4").
    QString dimension() const
    {
        return m_sheet.elementsByTagName(QStringLiteral("dimension"))
            .at(0)
            .toElement()
            .attribute(QStringLiteral("ref"));
    }

  private:
    QDomDocument part(const QString& name, bool optional = false) const
    {
        QProcess unzip;
        unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), m_path, name});
        EXPECT_TRUE(unzip.waitForFinished(10000)) << "unzip is needed to read the workbook back";
        const QByteArray xml = unzip.readAllStandardOutput();
        QDomDocument doc;
        if (!doc.setContent(xml) && !optional)
            ADD_FAILURE() << "no part " << name.toStdString() << " in " << m_path.toStdString();
        return doc;
    }

    QString m_path;
    QDomDocument m_sheet;
    QList<double> m_styleFontSize;
    QStringList m_styleNumFmt;
    QMap<QString, Cell> m_cells;
};

// The reference of a cell: column from 0, row from 1 ("AB3").
QString CellRef(int column, int row)
{
    QString letters;
    for (int c = column + 1; c > 0; c = (c - 1) / 26)
        letters.prepend(QChar(u'A' + (c - 1) % 26));
    return letters + QString::number(row);
}

class ExcelExportTest : public DbTest
{
  protected:
    void SetUp() override
    {
        DbTest::SetUp();
        Clock::SetFixed(QDateTime(QDate(2024, 3, 5), QTime(9, 8, 7)));
    }

    QString exportDir() const { return appDir() + QStringLiteral("qvPrint/generateXls/"); }
    QStringList exports() const { return QDir(exportDir()).entryList(QDir::Files, QDir::Name); }

    static RecordSet sample()
    {
        return RecordSet({QStringLiteral("code"), QStringLiteral("name"), QStringLiteral("qty")},
                         {{QStringLiteral("007"), QStringLiteral("螺丝 M6"), 12.5}});
    }
};

TEST_F(ExcelExportTest, TitleHeadersAndRowsInPlace)
{
    RecordSet rs(
        {QStringLiteral("code"), QStringLiteral("name"), QStringLiteral("qty"), QStringLiteral("note")},
        {
            {QStringLiteral("007"), QStringLiteral("螺丝 M6"), 12.5, QVariant()},
            {QStringLiteral("123"), QStringLiteral("O'Brien & <Co>"), 3,
             QStringLiteral("2024-01-02 10:00:00")},
        });
    const ExportData data = RecordSetToArray(rs);
    EXPECT_TRUE(rs.eof());
    ASSERT_TRUE(data.hasData);
    EXPECT_EQ(data.rowCount, 2);
    EXPECT_EQ(data.data.at(0), (QStringList{QStringLiteral("007"), QStringLiteral("螺丝 M6"),
                                            QStringLiteral("12.5"), QString()}));

    ExportToExcel(data, QStringLiteral("货品信息"), QStringLiteral("编码,名称,数量,备注"));

    EXPECT_EQ(shown(), QStringList{QStringLiteral("导出完成！")});
    EXPECT_EQ(MsgBox::Shown().at(0).title, QStringLiteral("System"));
    EXPECT_EQ(MsgBox::Shown().at(0).icon, MsgIcon::Information);
    ASSERT_EQ(exports(), QStringList{QStringLiteral("20240305-090807.xlsx")});
    ASSERT_EQ(Launcher::Launches().size(), 1);
    EXPECT_EQ(Launcher::Launches().at(0).url.toLocalFile(),
              exportDir() + QStringLiteral("20240305-090807.xlsx"));

    const Workbook book(exportDir() + exports().at(0));
    const QMap<QString, QString> expected = {
        {QStringLiteral("A1"), QStringLiteral("货品信息")},
        {QStringLiteral("A2"), QStringLiteral("编码")},
        {QStringLiteral("B2"), QStringLiteral("名称")},
        {QStringLiteral("C2"), QStringLiteral("数量")},
        {QStringLiteral("D2"), QStringLiteral("备注")},
        {QStringLiteral("A3"), QStringLiteral("007")},
        {QStringLiteral("B3"), QStringLiteral("螺丝 M6")},
        {QStringLiteral("C3"), QStringLiteral("12.5")},
        {QStringLiteral("D3"), QString()},
        {QStringLiteral("A4"), QStringLiteral("123")},
        {QStringLiteral("B4"), QStringLiteral("O'Brien & <Co>")},
        {QStringLiteral("C4"), QStringLiteral("3")},
        {QStringLiteral("D4"), QStringLiteral("2024-01-02 10:00:00")},
    };
    EXPECT_EQ(book.cells().keys(), expected.keys());
    for (auto it = expected.begin(); it != expected.end(); ++it) {
        EXPECT_EQ(book.text(it.key()), it.value()) << it.key().toStdString();
        EXPECT_EQ(book.cells().value(it.key()).fontSize, 10) << it.key().toStdString();
    }
    EXPECT_EQ(book.emptyCellFontSize(), 10);
    EXPECT_EQ(book.dimension(), QStringLiteral("A1:D4"));
    // Numbers stay numbers; a code with a leading zero stays a text, and so
    // does the other code of its column.
    EXPECT_TRUE(book.cells().value(QStringLiteral("C3")).isNumber);
    EXPECT_TRUE(book.cells().value(QStringLiteral("C4")).isNumber);
    EXPECT_FALSE(book.cells().value(QStringLiteral("A3")).isNumber);
    EXPECT_FALSE(book.cells().value(QStringLiteral("A4")).isNumber);
}

// Numeric texts become numbers the spreadsheet can sum, shown as the window
// showed them; codes and other texts stay texts, leading zeros kept.
TEST_F(ExcelExportTest, NumbersKeepTheirShapeAndCodesStayTexts)
{
    const struct {
        const char* text;
        bool isNumber;
        const char* value; // the stored value (numbers) or text
        const char* format;
    } cases[] = {
        {"12.5", true, "12.5", "0.0"},
        {"3.0", true, "3", "0.0"},
        {"12.50", true, "12.5", "0.00"},
        {"0.125", true, "0.125", "0.000"},
        {"-7", true, "-7", "0"},
        {"-0.50", true, "-0.5", "0.00"},
        {"0", true, "0", "0"},
        {"1200", true, "1200", "0"},
        {"0.0", true, "0", "0.0"},
        {"0.08325", true, "0.08325", "0.00000"},
        {"0.333333333333333", true, "0.333333333333333",
         "0.000000000000000"}, // 15 digits: all a double holds
        {"0.0000333333333333333", true, "0.0000333333333333333", "0.0000000000000000000"},
        {"007", false, "007", "General"},
        {"00.5", false, "00.5", "General"},
        {"-01", false, "-01", "General"},
        {"6901234567890", false, "6901234567890", "General"}, // a barcode
        {"12345678901234567", false, "12345678901234567", "General"},
        {"1.1234567890123456", false, "1.1234567890123456", "General"},
        {"0.3333333333333333", false, "0.3333333333333333", "General"},
        {"1e5", false, "1e5", "General"},
        {"1,200", false, "1,200", "General"},
        {" 12", false, " 12", "General"},
        {"12.", false, "12.", "General"},
        {".5", false, ".5", "General"},
        {"+5", false, "+5", "General"},
        {"rk-2405-00001", false, "rk-2405-00001", "General"},
        {"99999999999", true, "99999999999", "0"},          // 11 integer digits: an amount
        {"123456789012", false, "123456789012", "General"}, // 12: a code
        {"0.000000000000000000000000000001", true, "1e-30", "0.000000000000000000000000000000"},
        {"0.0000000000000000000000000000001", false, "0.0000000000000000000000000000001", "General"},
        {"-", false, "-", "General"},
        {"-.5", false, "-.5", "General"},
        {"1.2.3", false, "1.2.3", "General"},
        {"１２", false, "１２", "General"}, // full-width digits
        {"12 ", false, "12 ", "General"},
        {"12\n", true, "12", "0"}, // a last line break passes
        {"--1", false, "--1", "General"},
    };
    // One case a column (a column is one kind), all in row 3.
    ExportData data;
    data.hasData = true;
    data.data.append(QStringList());
    for (const auto& c : cases)
        data.data[0].append(QString::fromUtf8(c.text));
    data.rowCount = 1;
    ExportToExcel(data, QStringLiteral("t"), QStringLiteral("值"));
    ASSERT_EQ(exports().size(), 1);
    const Workbook book(exportDir() + exports().at(0));
    int column = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const Cell cell = book.cells().value(CellRef(column++, 3));
        EXPECT_EQ(cell.isNumber, c.isNumber);
        if (c.isNumber)
            EXPECT_EQ(cell.text.toDouble(), QString::fromUtf8(c.value).toDouble());
        else
            EXPECT_EQ(cell.text, QString::fromUtf8(c.value));
        EXPECT_EQ(cell.numberFormat, QString::fromUtf8(c.format));
        EXPECT_EQ(cell.fontSize, 10);
    }
}

// A column is numbers or texts throughout, never both, so that a sum over it
// leaves nothing out unseen: a text in digits that is no faithful number (an
// amount of more than 15 digits, a code with a leading zero, a barcode)
// makes its column's figures texts too, shown as the window showed them;
// texts of other shapes leave the figures numbers.
TEST_F(ExcelExportTest, AColumnIsOneKind)
{
    exec(QStringLiteral("CREATE TABLE k (id INTEGER PRIMARY KEY, amount, code TEXT, qty, note TEXT, big)"));
    exec(QStringLiteral("INSERT INTO k (amount, code, qty, note, big) VALUES "
                        "('12.50', '007', 1.5, '12.5', 12345678901234.5), "
                        "('1234567890.123456789', '123', 0.00001, 'abc', 1.5), "
                        "('3', '6901234567890', 2, '', -2)"));
    const struct {
        int column;
        bool numbers;
        QStringList texts;
    } columns[] = {
        {0, false, {QStringLiteral("12.50"), QStringLiteral("1234567890.123456789"), QStringLiteral("3")}},
        {1, false, {QStringLiteral("007"), QStringLiteral("123"), QStringLiteral("6901234567890")}},
        {2, true, {QStringLiteral("1.5"), QStringLiteral("0.00001"), QStringLiteral("2")}},
        {4, false, {QStringLiteral("12345678901234.5"), QStringLiteral("1.5"), QStringLiteral("-2")}},
    };
    const QString sql = QStringLiteral("SELECT amount, code, qty, note, big FROM k ORDER BY id");
    {
        const std::unique_ptr<RowReader> stored = OpenRowReader(sql);
        ExportToExcel(*stored, QStringLiteral("t"), QStringLiteral("金额,编码,数量,备注,大数"));
    }
    ExportToExcel(RecordSetToArray(ExecuteSql(sql)), QStringLiteral("t"),
                  QStringLiteral("金额,编码,数量,备注,大数"));
    const QStringList files = exports();
    ASSERT_EQ(files.size(), 2);
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        const Workbook book(exportDir() + file);
        for (const auto& c : columns) {
            for (int r = 0; r < c.texts.size(); ++r) {
                const QString ref = CellRef(c.column, r + 3);
                SCOPED_TRACE(ref.toStdString());
                const Cell cell = book.cells().value(ref);
                EXPECT_EQ(cell.isNumber, c.numbers);
                if (c.numbers)
                    EXPECT_EQ(cell.text.toDouble(), c.texts.at(r).toDouble());
                else
                    EXPECT_EQ(cell.text, c.texts.at(r));
                EXPECT_EQ(cell.fontSize, 10);
            }
        }
        // Beside a text of another shape a figure stays a number.
        EXPECT_TRUE(book.cells().value(QStringLiteral("D3")).isNumber);
        EXPECT_EQ(book.text(QStringLiteral("D4")), QStringLiteral("abc"));
        // The headings stay as they are.
        EXPECT_EQ(book.text(QStringLiteral("A2")), QStringLiteral("金额"));
    }
}

// A number cell holds the digits the window showed, not the nearest double's
// sixteen (8.2 is stored as 8.2, never 8.199999999999999).
TEST_F(ExcelExportTest, ANumberCellHoldsTheDigitsShown)
{
    const struct {
        const char* text;
        const char* stored;
    } cases[] = {
        {"8.2", "8.2"},
        {"-3.3", "-3.3"},
        {"100012.345", "100012.345"},
        {"99999999999.9999", "99999999999.9999"},
        {"0.000001", "0.000001"},
        {"12.50", "12.5"},
        {"3.0", "3"},
        {"0.0000333333333333333", "0.0000333333333333333"},
        {"0.000000000000000000000000000001", "0.000000000000000000000000000001"},
    };
    ExportData data;
    data.hasData = true;
    for (const auto& c : cases)
        data.data.append(QStringList{QString::fromUtf8(c.text), QStringLiteral("可乐")});
    data.rowCount = int(data.data.size());
    ExportToExcel(data, QStringLiteral("t"), QStringLiteral("值,名"));
    ASSERT_EQ(exports().size(), 1);
    const Workbook book(exportDir() + exports().at(0));
    int row = 3;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const Cell cell = book.cells().value(QStringLiteral("A%1").arg(row));
        EXPECT_TRUE(cell.isNumber);
        EXPECT_EQ(cell.text, QString::fromUtf8(c.stored));
        EXPECT_EQ(book.cells().value(QStringLiteral("B%1").arg(row++)).text, QStringLiteral("可乐"));
    }
}

TEST_F(ExcelExportTest, HeadingListsLongerShorterOrEmpty)
{
    RecordSet rs = sample();
    const ExportData data = RecordSetToArray(rs);
    ExportToExcel(data, QStringLiteral("T"), QStringLiteral("a,b,c,d"));
    ExportToExcel(data, QStringLiteral("T"), QStringLiteral("a,,"));
    ExportToExcel(data, QStringLiteral("T"), QString());
    // Three exports in the same second: three workbooks.
    const QStringList files = exports();
    ASSERT_EQ(files,
              (QStringList{QStringLiteral("20240305-090807.xlsx"), QStringLiteral("20240305-090807_2.xlsx"),
                           QStringLiteral("20240305-090807_3.xlsx")}));

    const Workbook more(exportDir() + files.at(0));
    EXPECT_EQ(more.text(QStringLiteral("D2")), QStringLiteral("d"));
    EXPECT_FALSE(more.cells().contains(QStringLiteral("D3")));
    // The sheet's range ends at its last used column: a heading's or a value's.
    EXPECT_EQ(more.dimension(), QStringLiteral("A1:D3"));

    const Workbook fewer(exportDir() + files.at(1));
    EXPECT_EQ(fewer.text(QStringLiteral("A2")), QStringLiteral("a"));
    EXPECT_TRUE(fewer.text(QStringLiteral("B2")).isEmpty());
    EXPECT_TRUE(fewer.text(QStringLiteral("C2")).isEmpty());
    EXPECT_EQ(fewer.text(QStringLiteral("C3")), QStringLiteral("12.5"));

    const Workbook none(exportDir() + files.at(2));
    for (const QString& ref : none.cells().keys())
        EXPECT_FALSE(ref.endsWith(QLatin1Char('2')) && ref.size() == 2) << ref.toStdString();
    EXPECT_EQ(none.text(QStringLiteral("A1")), QStringLiteral("T"));
    EXPECT_EQ(none.text(QStringLiteral("A3")), QStringLiteral("007"));
    EXPECT_EQ(none.dimension(), QStringLiteral("A1:C3"));
}

TEST_F(ExcelExportTest, EmptyResultWritesNothing)
{
    RecordSet empty({QStringLiteral("a")}, {});
    const ExportData data = RecordSetToArray(empty);
    EXPECT_FALSE(data.hasData);
    EXPECT_EQ(data.rowCount, 0);
    ExportToExcel(data, QStringLiteral("T"), QStringLiteral("a"));
    EXPECT_EQ(shown(), QStringList{QStringLiteral("无记录导出!")});
    EXPECT_EQ(MsgBox::Shown().at(0).title, QStringLiteral("System"));
    EXPECT_EQ(MsgBox::Shown().at(0).icon, MsgIcon::Exclamation);
    EXPECT_FALSE(QDir(exportDir()).exists());
    EXPECT_TRUE(Launcher::Launches().isEmpty());

    // A result already read to its end counts as empty, as does no result.
    RecordSet rs = sample();
    RecordSetToArray(rs);
    EXPECT_FALSE(RecordSetToArray(rs).hasData);
    EXPECT_FALSE(RecordSetToArray(RecordSetPtr()).hasData);
}

TEST_F(ExcelExportTest, FailedExportLeavesNoFile)
{
    // More columns than a sheet holds: the write fails half-way.
    ExportData data;
    data.data.append(QStringList(16385, QStringLiteral("x")));
    data.hasData = true;
    data.rowCount = 1;
    ExportToExcel(data, QStringLiteral("T"), QString());
    ASSERT_EQ(MsgBox::Shown().size(), 1);
    EXPECT_EQ(MsgBox::Shown().at(0).title, QStringLiteral("Error"));
    EXPECT_EQ(MsgBox::Shown().at(0).icon, MsgIcon::Critical);
    EXPECT_TRUE(exports().isEmpty());
    EXPECT_TRUE(Launcher::Launches().isEmpty());

    // The export folder cannot be made.
    MsgBox::ClearShown();
    QDir(exportDir()).removeRecursively();
    QFile blocker(exportDir().chopped(1));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    RecordSet rs = sample();
    ExportToExcel(RecordSetToArray(rs), QStringLiteral("T"), QStringLiteral("a"));
    ASSERT_EQ(MsgBox::Shown().size(), 1);
    EXPECT_EQ(MsgBox::Shown().at(0).title, QStringLiteral("Error"));
}

TEST_F(ExcelExportTest, NoSpreadsheetProgramTellsWhereTheFileIs)
{
    Launcher::SetResult(false);
    RecordSet rs = sample();
    ExportToExcel(RecordSetToArray(rs), QStringLiteral("T"), QStringLiteral("a,b,c"));
    ASSERT_EQ(exports().size(), 1);
    // One message: done, and where the file is.
    ASSERT_EQ(MsgBox::Shown().size(), 1);
    EXPECT_EQ(MsgBox::Shown().at(0).text, QStringLiteral("导出完成！\n无法打开导出的文件,文件已保存为: ") +
                                              QDir::toNativeSeparators(exportDir() + exports().at(0)));
    EXPECT_EQ(MsgBox::Shown().at(0).title, QStringLiteral("System"));
    EXPECT_EQ(MsgBox::Shown().at(0).icon, MsgIcon::Information);
}

// A whole query goes to the workbook row by row and gives the same sheet as
// the rows copied first.
TEST_F(ExcelExportTest, StreamedQueryGivesTheSameWorkbook)
{
    exec(QStringLiteral("CREATE TABLE x (id INTEGER PRIMARY KEY, code TEXT, qty REAL, note TEXT)"));
    exec(QStringLiteral("INSERT INTO x (code, qty, note) VALUES ('007', 12.5, NULL), ('123', 3, 'a&b'), "
                        "('', -0.25, '螺丝')"));
    const QString sql = QStringLiteral("SELECT code, qty, note FROM x WHERE id >= @from ORDER BY id");
    const ParamMap params{{QStringLiteral("@from"), 1}};

    ExportToExcel(RecordSetToArray(ExecuteSql(sql, params)), QStringLiteral("T"), QStringLiteral("a,b,c"));
    const std::unique_ptr<RowReader> reader = OpenRowReader(sql, params);
    EXPECT_EQ(reader->fields(),
              (QStringList{QStringLiteral("code"), QStringLiteral("qty"), QStringLiteral("note")}));
    ExportToExcel(ExportRowsOf(*reader), QStringLiteral("T"), QStringLiteral("a,b,c"));

    EXPECT_EQ(shown(), (QStringList{QStringLiteral("导出完成！"), QStringLiteral("导出完成！")}));
    const QStringList files = exports();
    ASSERT_EQ(files.size(), 2);
    const Workbook copied(exportDir() + files.at(0));
    const Workbook streamed(exportDir() + files.at(1));
    EXPECT_EQ(streamed.cells().keys(), copied.cells().keys());
    for (const QString& ref : copied.cells().keys()) {
        EXPECT_EQ(streamed.text(ref), copied.text(ref)) << ref.toStdString();
        EXPECT_EQ(streamed.cells().value(ref).isNumber, copied.cells().value(ref).isNumber)
            << ref.toStdString();
    }
    EXPECT_EQ(streamed.text(QStringLiteral("A3")), QStringLiteral("007"));
    EXPECT_EQ(streamed.text(QStringLiteral("C4")), QStringLiteral("a&b"));
    EXPECT_EQ(streamed.text(QStringLiteral("C5")), QStringLiteral("螺丝"));
}

// The raw text of one part of a workbook.
QByteArray PartOf(const QString& path, const QString& name)
{
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), path, name});
    EXPECT_TRUE(unzip.waitForFinished(10000)) << "unzip is needed to read the workbook back";
    return unzip.readAllStandardOutput();
}

// Stored values go to their cells without being made texts first, and the
// sheet is the one their texts give, byte for byte: integers (up to 11
// digits a number), doubles by their 15 significant digits (8.2 stored as
// 8.1999..., 1e+05, 0.00001, 0.1 + 0.2, past 11 integer digits or 30
// decimals a text), numeric and other texts, Null, an empty text, a blob,
// and bytes that are no well-formed UTF-8. Once with the values that are
// texts in digits (whose columns are then texts throughout) and once
// without them.
TEST_F(ExcelExportTest, StoredValuesGiveTheCellsOfTheirTexts)
{
    exec(QStringLiteral("CREATE TABLE v (id INTEGER PRIMARY KEY, x, y TEXT)"));
    exec(QStringLiteral(
        "INSERT INTO v (x, y) VALUES (0, 'G0000042'), (-7, '007'), (99999999999, '12.50'), "
        "(-99999999999, '1e+05'), (100000000000, '螺丝 M6'), (-9223372036854775807 - 1, 'a&b<c>'), "
        "(8.2, '12\n'), (1e5, ''), (0.00001, NULL), (0.1 + 0.2, '-0.50'), (1234.56789012345, "
        "'6901234567890'), "
        "(0.333333333333333333, '0.333333333333333'), (123456789012.5, '1.1234567890123456'), "
        "(1e15, ' 12'), (1e-30, '-'), (1e-31, '１２'), (-0.0, '0'), (2.5e-7, X'3132'), (8.2, 8.2), "
        "(1e308 * 10, CAST(X'80' AS TEXT)), (-1e308 * 10, CAST(X'EFBFBE' AS TEXT)), "
        "(12.5, CAST(X'C0AF' AS TEXT)), (3.0, 'O''Brien'), (100012.345, '99999999999.9999')"));
    // The rows whose x or y is a text in digits: 100000000000, the smallest
    // integer, 123456789012.5, 1e15, 1e-31; '007', '6901234567890',
    // '1.1234567890123456'.
    const QString withDigitTexts = QStringLiteral("SELECT x, y, x FROM v ORDER BY id");
    const QString withoutDigitTexts =
        QStringLiteral("SELECT CASE WHEN id IN (5, 6, 13, 14, 16) THEN NULL ELSE x END, "
                       "CASE WHEN id IN (2, 11, 13) THEN NULL ELSE y END, "
                       "CASE WHEN id IN (5, 6, 13, 14, 16) THEN NULL ELSE x END FROM v ORDER BY id");
    const auto exportBoth = [this](const QString& sql) {
        const QStringList before = exports();
        {
            const std::unique_ptr<RowReader> texts = OpenRowReader(sql);
            ExportToExcel(ExportRowsOf(*texts), QStringLiteral("明细"), QStringLiteral("x,y,x"));
        }
        {
            const std::unique_ptr<RowReader> stored = OpenRowReader(sql);
            ExportToExcel(*stored, QStringLiteral("明细"), QStringLiteral("x,y,x"));
        }
        QStringList files = exports();
        for (const QString& f : before)
            files.removeOne(f);
        EXPECT_EQ(files.size(), 2);
        for (const QString& part :
             {QStringLiteral("xl/worksheets/sheet1.xml"), QStringLiteral("xl/styles.xml")}) {
            const QByteArray fromTexts = PartOf(exportDir() + files.value(0), part);
            EXPECT_FALSE(fromTexts.isEmpty());
            EXPECT_EQ(PartOf(exportDir() + files.value(1), part), fromTexts) << part.toStdString();
        }
        return Workbook(exportDir() + files.value(1));
    };
    const struct {
        const char* ref;
        bool isNumber;
        const char* text;
        const char* format;
    } numbers[] = {
        {"A5", true, "99999999999", "0"},
        {"A9", true, "8.2", "0.0"},
        {"A10", true, "100000", "0"},
        {"A11", true, "0.00001", "0.00000"},
        {"A12", true, "0.3", "0.0"},
        {"A13", true, "1234.56789012345", "0.00000000000"},
        {"A14", true, "0.333333333333333", "0.000000000000000"},
        {"A17", true, "0.000000000000000000000000000001", "0.000000000000000000000000000000"},
        {"A22", false, "inf", "General"},
        {"B3", false, "G0000042", "General"},
        {"B5", true, "12.5", "0.00"},
        {"B6", false, "1e+05", "General"},
        {"B9", true, "12", "0"},
        {"B19", true, "0", "0"},
        {"B20", true, "12", "0"},
        {"B21", true, "8.2", "0.0"},
        {"B26", true, "99999999999.9999", "0.0000"},
    };
    {
        SCOPED_TRACE("without texts in digits");
        const Workbook book = exportBoth(withoutDigitTexts);
        for (const auto& c : numbers) {
            SCOPED_TRACE(c.ref);
            const Cell cell = book.cells().value(QString::fromLatin1(c.ref));
            EXPECT_EQ(cell.isNumber, c.isNumber);
            EXPECT_EQ(cell.text, QString::fromUtf8(c.text));
            EXPECT_EQ(cell.numberFormat, QString::fromUtf8(c.format));
        }
        // Null and the empty text: blank cells.
        EXPECT_EQ(book.text(QStringLiteral("B10")), QString());
        EXPECT_EQ(book.text(QStringLiteral("B11")), QString());
        EXPECT_FALSE(book.cells().value(QStringLiteral("B11")).isNumber);
    }
    {
        SCOPED_TRACE("with texts in digits");
        const Workbook book = exportBoth(withDigitTexts);
        // Every column holds texts in digits: every cell is a text, a figure
        // shown with the decimals its number cell would have shown.
        for (auto it = book.cells().begin(); it != book.cells().end(); ++it)
            EXPECT_FALSE(it->isNumber) << it.key().toStdString();
        const QMap<QString, QString> texts = {
            {QStringLiteral("A5"), QStringLiteral("99999999999")},
            {QStringLiteral("A7"), QStringLiteral("100000000000")},
            {QStringLiteral("A9"), QStringLiteral("8.2")},
            {QStringLiteral("A11"), QStringLiteral("0.00001")},
            {QStringLiteral("A15"), QStringLiteral("123456789012.5")},
            {QStringLiteral("B4"), QStringLiteral("007")},
            {QStringLiteral("B5"), QStringLiteral("12.50")},
            {QStringLiteral("B12"), QStringLiteral("-0.50")},
            {QStringLiteral("B13"), QStringLiteral("6901234567890")},
            {QStringLiteral("B26"), QStringLiteral("99999999999.9999")},
        };
        for (auto it = texts.begin(); it != texts.end(); ++it) {
            EXPECT_EQ(book.text(it.key()), it.value()) << it.key().toStdString();
            EXPECT_EQ(book.cells().value(it.key()).fontSize, 10) << it.key().toStdString();
        }
    }
}

TEST_F(ExcelExportTest, StreamedQueryEmptyOrFailingWritesNothing)
{
    exec(QStringLiteral("CREATE TABLE x (id INTEGER PRIMARY KEY, qty INTEGER)"));
    {
        const std::unique_ptr<RowReader> empty = OpenRowReader(QStringLiteral("SELECT * FROM x"));
        ExportToExcel(ExportRowsOf(*empty), QStringLiteral("T"), QStringLiteral("a"));
        EXPECT_EQ(shown(), QStringList{QStringLiteral("无记录导出!")});
        EXPECT_FALSE(QDir(exportDir()).exists());
    }
    {
        const std::unique_ptr<RowReader> empty = OpenRowReader(QStringLiteral("SELECT * FROM x"));
        MsgBox::ClearShown();
        ExportToExcel(*empty, QStringLiteral("T"), QStringLiteral("a"));
        EXPECT_EQ(shown(), QStringList{QStringLiteral("无记录导出!")});
        EXPECT_FALSE(QDir(exportDir()).exists());
    }
    exec(QStringLiteral("INSERT INTO x (qty) VALUES (1), (2), (-9223372036854775807 - 1), (4)"));
    // The third row fails to compute after two rows are written, as texts
    // and as stored values.
    for (const bool stored : {false, true}) {
        SCOPED_TRACE(stored ? "stored" : "texts");
        MsgBox::ClearShown();
        const std::unique_ptr<RowReader> failing =
            OpenRowReader(QStringLiteral("SELECT id, abs(qty) FROM x ORDER BY id"));
        if (stored)
            ExportToExcel(*failing, QStringLiteral("T"), QStringLiteral("a"));
        else
            ExportToExcel(ExportRowsOf(*failing), QStringLiteral("T"), QStringLiteral("a"));
        ASSERT_EQ(MsgBox::Shown().size(), 1);
        EXPECT_EQ(MsgBox::Shown().at(0).title, QStringLiteral("Error"));
        EXPECT_TRUE(MsgBox::Shown().at(0).text.endsWith(QStringLiteral("\n数据库语句执行出错,操作没有完成!")))
            << MsgBox::LastText().toStdString();
        EXPECT_TRUE(MsgBox::Shown().at(0).details.contains(QStringLiteral("overflow")))
            << MsgBox::Shown().at(0).details.toStdString();
        EXPECT_TRUE(exports().isEmpty());
        EXPECT_TRUE(Launcher::Launches().isEmpty());
    }
    EXPECT_THROW(OpenRowReader(QStringLiteral("DELETE FROM x")), DbError);
    EXPECT_EQ(count(QStringLiteral("x")), 4);
}

} // namespace

namespace
{

// An export tells how far it has come: at the start, every thousand rows and
// once at the end; the progress window opens past its delay, shows the rows
// written and is gone when the export is done.
TEST_F(ExcelExportTest, AnExportReportsItsProgressAndTheWindowShowsIt)
{
    const int rows = 2500;
    int next = 0;
    QString labelAt1500;
    const ExportRows source = [&](QStringList& row) {
        if (next == 1500 && WorkProgress::Current())
            labelAt1500 = WorkProgress::Current()->labelText();
        if (next == rows)
            return false;
        row = QStringList{QString::number(++next), QStringLiteral("螺丝")};
        return true;
    };
    QList<std::pair<qint64, bool>> told;
    SetExportProgress([&](qint64 n, bool done) { told.append({n, done}); });
    ExportToExcel(source, QStringLiteral("T"), QStringLiteral("a,b"));
    EXPECT_EQ(told, (QList<std::pair<qint64, bool>>{{0, false}, {1000, false}, {2000, false}, {2500, true}}));

    // The window the handlers install, shown at once here.
    WorkProgress::Install();
    WorkProgress::SetDelay(0);
    next = 0;
    ExportToExcel(source, QStringLiteral("T"), QStringLiteral("a,b"));
    WorkProgress::SetDelay(2000);
    EXPECT_EQ(labelAt1500, QStringLiteral("正在导出, 已写入 1000 行..."));
    EXPECT_EQ(WorkProgress::Current(), nullptr);
    EXPECT_EQ(exports().size(), 2);
    EXPECT_EQ(shown(), (QStringList{QStringLiteral("导出完成！"), QStringLiteral("导出完成！")}));
}

} // namespace

namespace
{

// Whether the desktop can open a workbook is read from its association files
// at once, so a missing program is told without waiting for the opener.
TEST(LauncherTest, AProgramForTheFileTypeIsFoundInTheDesktopsLists)
{
    const char* vars[] = {"XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_HOME", "XDG_CONFIG_DIRS"};
    QList<QByteArray> saved;
    for (const char* v : vars)
        saved << qgetenv(v);
    const QString type = QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet");
    const struct {
        const char* name;
        const char* file; // below the temporary folder
        QString text;
        bool found;
    } cases[] = {
        {"nothing listed", nullptr, {}, false},
        {"the system's cache", "data/applications/mimeinfo.cache",
         QStringLiteral("[MIME Cache]\n%1=calc.desktop;\n").arg(type), true},
        {"the user's default", "config/mimeapps.list",
         QStringLiteral("[Default Applications]\n%1=calc.desktop\n").arg(type), true},
        {"another type only", "data/applications/mimeinfo.cache",
         QStringLiteral("[MIME Cache]\ntext/plain=edit.desktop;\n"), false},
        {"removed again", "config/mimeapps.list",
         QStringLiteral("[Removed Associations]\n%1=calc.desktop\n[Added Associations]\n%1=calc.desktop\n")
             .arg(type),
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        for (const char* sub : {"/home", "/data/applications", "/config", "/confighome", "/types"})
            QDir().mkpath(dir.path() + QLatin1String(sub));
        // The system's file types stay known; its programs are left out.
        QFile::link(QStringLiteral("/usr/share/mime"), dir.path() + QStringLiteral("/types/mime"));
        qputenv("XDG_DATA_HOME", (dir.path() + "/home").toUtf8());
        qputenv("XDG_DATA_DIRS", (dir.path() + "/data:" + dir.path() + "/types").toUtf8());
        qputenv("XDG_CONFIG_HOME", (dir.path() + "/config").toUtf8());
        qputenv("XDG_CONFIG_DIRS", (dir.path() + "/confighome").toUtf8());
        if (c.file) {
            QFile f(dir.path() + QLatin1Char('/') + QLatin1String(c.file));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(c.text.toUtf8());
        }
        EXPECT_EQ(Launcher::HasOpener(dir.path() + QStringLiteral("/20240305-090807.xlsx")), c.found);
    }
    for (int i = 0; i < 4; ++i) {
        if (saved[i].isNull())
            qunsetenv(vars[i]);
        else
            qputenv(vars[i], saved[i]);
    }
}

} // namespace
