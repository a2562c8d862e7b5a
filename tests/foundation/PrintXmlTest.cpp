#include "TestEnv.h"

#include "Clock.h"
#include "DbError.h"
#include "Launcher.h"
#include "PrintXml.h"

#include <QCoreApplication>
#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QRegularExpression>

namespace
{

const char* kSmallTemplate = R"(<?xml version="1.0" encoding="utf-8"?>
<Content>
  <Title Caption="测试单"/>
  <DataGroupHead>
    <DataCols>
      <billNo BindField="billNo" Caption="单号"/>
      <amountWords BindField="$CMoneyToWord$:totalAmount"/>
    </DataCols>
    <DataRecord/>
    <Note>after the head</Note>
  </DataGroupHead>
  <DataDetail>
    <DataCols>
      <code BindField="goodsCode"/>
      <qty BindField="qty"/>
      <words BindField="$CMoneyToWord$:amount"/>
    </DataCols>
    <DataRecord><DataRow><code>sample</code></DataRow></DataRecord>
    <Footer Caption="页脚"/>
  </DataDetail>
</Content>
)";

class PrintXmlTest : public DbTest
{
  protected:
    void SetUp() override
    {
        DbTest::SetUp();
        Clock::SetFixed(QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)));
        writeTemplate(QStringLiteral("t_bill"), QString::fromUtf8(kSmallTemplate));
    }

    QString templateDir() const { return appDir() + QStringLiteral("qvPrint/templeteXml/"); }
    QString generateDir() const { return appDir() + QStringLiteral("qvPrint/generateXml/"); }

    void writeTemplate(const QString& name, const QString& text)
    {
        QDir().mkpath(templateDir());
        QFile f(templateDir() + name + QStringLiteral(".xml"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
    }

    static void touch(const QString& path)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    }

    static RecordSet headRows()
    {
        return RecordSet({QStringLiteral("id"), QStringLiteral("billNo"), QStringLiteral("TotalAmount")},
                         {{1, QStringLiteral("rk-2403-00001"), QStringLiteral("1234.5")}});
    }
    static RecordSet lineRows()
    {
        return RecordSet({QStringLiteral("goodsCode"), QStringLiteral("qty"), QStringLiteral("amount")},
                         {
                             {QStringLiteral("A01"), 3.0, 1234.5},
                             {QStringLiteral("B&<02"), 12.5, 0.0},
                             {QStringLiteral("   "), QVariant(), 2.675},
                             {QStringLiteral("中文"), 0.1 + 0.2, QVariant()},
                         });
    }

    // The XML library keeps attributes in no fixed order; the golden text is
    // compared with the attributes of every tag sorted.
    static QString sortedAttributes(const QString& xml)
    {
        static const QRegularExpression tag(
            QStringLiteral(R"(<([A-Za-z_][\w.-]*)((?:\s+[^\s=<>]+="[^"]*")+)\s*(/?)>)"));
        static const QRegularExpression attr(QStringLiteral(R"([^\s=<>]+="[^"]*")"));
        QString out;
        qsizetype pos = 0;
        for (const QRegularExpressionMatch& m : tag.globalMatch(xml)) {
            out += xml.mid(pos, m.capturedStart() - pos);
            QStringList attrs;
            for (const QRegularExpressionMatch& a : attr.globalMatch(m.captured(2)))
                attrs.append(a.captured());
            attrs.sort();
            out += QLatin1Char('<') + m.captured(1) + QLatin1Char(' ') + attrs.join(QLatin1Char(' ')) +
                   m.captured(3) + QLatin1Char('>');
            pos = m.capturedEnd();
        }
        return out + xml.mid(pos);
    }

    QStringList generated() const { return QDir(generateDir()).entryList(QDir::Files); }
};

TEST_F(PrintXmlTest, GoldenPrintDataFile)
{
    KeyValue nodes;
    nodes.AddItem(QStringLiteral("Content/DataGroupHead/DataRecord"),
                  QVariant::fromValue(BuildDataRecordNode(headRows(), QStringLiteral("t_bill"),
                                                          QStringLiteral("Content/DataGroupHead/DataCols"))));
    nodes.AddItem(QStringLiteral("Content/DataDetail/DataRecord"),
                  QVariant::fromValue(BuildDataRecordNode(lineRows(), QStringLiteral("t_bill"),
                                                          QStringLiteral("Content/DataDetail/DataCols"))));
    // The generated folder does not exist yet: it is made.
    ASSERT_FALSE(QDir(generateDir()).exists());
    const QString name = CreatePrintXml(QStringLiteral("t_bill"), nodes);

    EXPECT_EQ(name.size(), 51);
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^20240305-140709[0-9A-F]{32}\\.xml$")).match(name).hasMatch())
        << name.toStdString();
    EXPECT_EQ(generated(), QStringList{name});

    QFile f(generateDir() + name);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray expected = R"(<?xml version='1.0' encoding='utf-8'?>
<Content>
 <Title Caption="测试单"/>
 <DataGroupHead>
  <DataCols>
   <billNo BindField="billNo" Caption="单号"/>
   <amountWords BindField="$CMoneyToWord$:totalAmount"/>
  </DataCols>
  <Note>after the head</Note>
  <DataRecord>
   <DataRow>
    <billNo>rk-2403-00001</billNo>
    <amountWords>壹仟贰佰叁拾肆元伍角整</amountWords>
   </DataRow>
  </DataRecord>
 </DataGroupHead>
 <DataDetail>
  <DataCols>
   <code BindField="goodsCode"/>
   <qty BindField="qty"/>
   <words BindField="$CMoneyToWord$:amount"/>
  </DataCols>
  <Footer Caption="页脚"/>
  <DataRecord>
   <DataRow>
    <code>A01</code>
    <qty>3</qty>
    <words>壹仟贰佰叁拾肆元伍角整</words>
   </DataRow>
   <DataRow>
    <code>B&amp;&lt;02</code>
    <qty>12.5</qty>
    <words> </words>
   </DataRow>
   <DataRow>
    <code/>
    <qty/>
    <words>贰元陆角捌分</words>
   </DataRow>
   <DataRow>
    <code>中文</code>
    <qty>0.3</qty>
    <words> </words>
   </DataRow>
  </DataRecord>
 </DataDetail>
</Content>
)";
    EXPECT_EQ(sortedAttributes(QString::fromUtf8(f.readAll())).toStdString(),
              sortedAttributes(QString::fromUtf8(expected)).toStdString());
}

TEST_F(PrintXmlTest, TwoPrintsInOneSecondGetTheirOwnFiles)
{
    KeyValue nodes;
    nodes.AddItem(QStringLiteral("Content/DataDetail/DataRecord"),
                  QVariant::fromValue(BuildDataRecordNode(lineRows(), QStringLiteral("t_bill"),
                                                          QStringLiteral("Content/DataDetail/DataCols"))));
    const QString first = CreatePrintXml(QStringLiteral("t_bill"), nodes);
    const QString second = CreatePrintXml(QStringLiteral("t_bill"), nodes);
    EXPECT_NE(first, second);
    EXPECT_EQ(generated().size(), 2);
    // Only the key given is replaced: the head keeps its placeholder.
    QFile f(generateDir() + second);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QDomDocument doc;
    ASSERT_TRUE(doc.setContent(&f));
    const QDomElement head = doc.documentElement().firstChildElement(QStringLiteral("DataGroupHead"));
    EXPECT_TRUE(head.firstChildElement(QStringLiteral("DataRecord")).firstChildElement().isNull());
    const QDomElement record =
        doc.documentElement().firstChildElement(QStringLiteral("DataDetail")).lastChildElement();
    EXPECT_EQ(record.tagName(), QStringLiteral("DataRecord"));
    EXPECT_EQ(record.elementsByTagName(QStringLiteral("DataRow")).size(), 4);
}

TEST_F(PrintXmlTest, FaultsEndThePrintBeforeAFileIsWritten)
{
    const QDomElement node = BuildDataRecordNode(lineRows(), QStringLiteral("t_bill"),
                                                 QStringLiteral("Content/DataDetail/DataCols"));
    {
        KeyValue nodes;
        nodes.AddItem(QStringLiteral("Content/DataDetail/DataRecord"), QVariant::fromValue(node));
        EXPECT_THROW(CreatePrintXml(QStringLiteral("missing"), nodes), DbError);
    }
    {
        KeyValue nodes;
        nodes.AddItem(QStringLiteral("Content/DataDetail/DataRecord"), QVariant::fromValue(node));
        nodes.AddItem(QStringLiteral("Content/Nowhere/DataRecord"), QVariant::fromValue(node));
        EXPECT_THROW(CreatePrintXml(QStringLiteral("t_bill"), nodes), DbError);
    }
    {
        KeyValue nodes;
        nodes.AddItem(QStringLiteral("Content/DataDetail/DataRecord"), QStringLiteral("not a node"));
        EXPECT_THROW(CreatePrintXml(QStringLiteral("t_bill"), nodes), DbError);
    }
    writeTemplate(QStringLiteral("no_content"), QStringLiteral("<Other><DataDetail/></Other>"));
    EXPECT_THROW(CreatePrintXml(QStringLiteral("no_content"), KeyValue()), DbError);
    writeTemplate(QStringLiteral("broken"), QStringLiteral("<Content><DataDetail></Content>"));
    EXPECT_THROW(CreatePrintXml(QStringLiteral("broken"), KeyValue()), DbError);
    EXPECT_TRUE(generated().isEmpty());
}

TEST_F(PrintXmlTest, RecordNodeBuilder)
{
    // No rows: nothing, and the template is not even read.
    EXPECT_TRUE(BuildDataRecordNode(RecordSet({QStringLiteral("x")}, {}), QStringLiteral("missing"),
                                    QStringLiteral("Content/DataDetail/DataCols"))
                    .isNull());
    EXPECT_TRUE(BuildDataRecordNode(RecordSetPtr(), QStringLiteral("missing"), QStringLiteral("x")).isNull());

    EXPECT_THROW(BuildDataRecordNode(lineRows(), QStringLiteral("missing"),
                                     QStringLiteral("Content/DataDetail/DataCols")),
                 DbError);
    EXPECT_THROW(
        BuildDataRecordNode(lineRows(), QStringLiteral("t_bill"), QStringLiteral("Content/Nothing/DataCols")),
        DbError);
    // A column that names no field of the rows, or has no BindField.
    EXPECT_THROW(BuildDataRecordNode(headRows(), QStringLiteral("t_bill"),
                                     QStringLiteral("Content/DataDetail/DataCols")),
                 DbError);
    writeTemplate(
        QStringLiteral("no_bind"),
        QStringLiteral("<Content><DataDetail><DataCols><a/></DataCols><DataRecord/></DataDetail></Content>"));
    EXPECT_THROW(BuildDataRecordNode(lineRows(), QStringLiteral("no_bind"),
                                     QStringLiteral("Content/DataDetail/DataCols")),
                 DbError);

    // An empty column list gives empty rows; the print still runs.
    writeTemplate(QStringLiteral("no_cols"),
                  QStringLiteral("<Content><DataDetail><DataCols/><DataRecord/></DataDetail></Content>"));
    const QDomElement empty = BuildDataRecordNode(lineRows(), QStringLiteral("no_cols"),
                                                  QStringLiteral("Content/DataDetail/DataCols"));
    ASSERT_EQ(empty.childNodes().size(), 4);
    EXPECT_FALSE(empty.firstChildElement().hasChildNodes());
}

TEST_F(PrintXmlTest, DeleteOldFilesGoesByTheDateInTheName)
{
    const QString dir = appDir() + QStringLiteral("old/");
    QDir().mkpath(dir);
    const QStringList kept = {
        QStringLiteral("20240305-000000AAAA.xml"), // today
        QStringLiteral("20240306-101010.xml"),     // a later day
        QStringLiteral("a.xml"),                   // shorter than 13 characters
        QStringLiteral("20240101-0000.txt"),       // another pattern
    };
    const QStringList deleted = {
        QStringLiteral("20240304-235959BBBB.xml"), // yesterday
        QStringLiteral("20231231-120000.xml"),
        QStringLiteral("template-copy.xml"), // no leading digits: read as 0
        QStringLiteral(".20240305-hidden.xml"),
        QStringLiteral("2024-03-05-dash.XML"), // leading number 2024
    };
    for (const QString& name : kept + deleted)
        touch(dir + name);
    QFile::setPermissions(dir + deleted.at(1), QFile::ReadOwner);
    QDir().mkpath(dir + QStringLiteral("20200101-folder.xml"));

    DeleteOldFiles(dir, QStringLiteral("*.xml"), 1);
    for (const QString& name : kept)
        EXPECT_TRUE(QFile::exists(dir + name)) << name.toStdString();
    for (const QString& name : deleted)
        EXPECT_FALSE(QFile::exists(dir + name)) << name.toStdString();
    EXPECT_TRUE(QDir(dir + QStringLiteral("20200101-folder.xml")).exists());

    // -1: every matching file, whatever its name.
    DeleteOldFiles(dir, QStringLiteral("*.xml"), -1);
    EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("20240101-0000.txt")});

    // A missing folder is no error.
    DeleteOldFiles(appDir() + QStringLiteral("missing/"), QStringLiteral("*.xml"), 1);
}

TEST_F(PrintXmlTest, PrintingClearsEarlierDaysPrintData)
{
    QDir().mkpath(generateDir());
    touch(generateDir() + QStringLiteral("20240304-235959") + QString(32, QLatin1Char('A')) +
          QStringLiteral(".xml"));
    touch(generateDir() + QStringLiteral("20240305-000001") + QString(32, QLatin1Char('B')) +
          QStringLiteral(".xml"));
    const QString name = CreatePrintXml(QStringLiteral("t_bill"), KeyValue());
    QStringList expected = {
        QStringLiteral("20240305-000001") + QString(32, QLatin1Char('B')) + QStringLiteral(".xml"), name};
    expected.sort();
    EXPECT_EQ(generated(), expected);
}

TEST_F(PrintXmlTest, GuidText)
{
    const QString a = GetGuidStr();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9A-F]{32}$")).match(a).hasMatch()) << a.toStdString();
    EXPECT_NE(a, GetGuidStr());
}

TEST_F(PrintXmlTest, RunPrintStartsTheToolAndSaysWhenItCannot)
{
    const QString command = QStringLiteral("ulmPrint:TypeId=1003&BillCode=qv_import_bill&FileName=x.xml");
    RunPrint(command);
    ASSERT_EQ(Launcher::Launches().size(), 1);
    EXPECT_EQ(Launcher::Launches().at(0).program, appDir() + QStringLiteral("qvPrint/qvPrint"));
    EXPECT_EQ(Launcher::Launches().at(0).arguments, QStringList{command});
    EXPECT_TRUE(shown().isEmpty());

    Launcher::SetResult(false);
    RunPrint(command);
    ASSERT_EQ(MsgBox::Shown().size(), 1);
    EXPECT_EQ(MsgBox::Shown().at(0).title, QStringLiteral("System"));
    EXPECT_TRUE(MsgBox::Shown().at(0).text.contains(QStringLiteral("qvPrint")))
        << shown().join("").toStdString();
}

} // namespace
