#include "PrintXml.h"

#include "CMoney.h"
#include "Clock.h"
#include "DbError.h"
#include "Launcher.h"
#include "MsgBox.h"
#include "Numbers.h"
#include "OutputText.h"
#include "ProcessFuntionValues.h"
#include "sqlHelper.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QUuid>

namespace
{

const QString kMoneyMarker = QStringLiteral("$CMoneyToWord$:");

QString TemplateFile(const QString& templateName)
{
    return GetAppPath() + QStringLiteral("qvPrint/templeteXml/") + templateName + QStringLiteral(".xml");
}

QString GenerateFolder()
{
    return GetAppPath() + QStringLiteral("qvPrint/generateXml/");
}

QDomDocument LoadTemplate(const QString& templateName)
{
    const QString path = TemplateFile(templateName);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw DbError(QStringLiteral("打印模板不存在: ") + path);
    QDomDocument doc;
    QString error;
    int line = 0;
    if (!doc.setContent(&file, &error, &line))
        throw DbError(QStringLiteral("打印模板格式错误: %1 (第%2行: %3)").arg(path).arg(line).arg(error));
    return doc;
}

// The first element, in document order, that a path of element names selects
// below node.
QDomElement FindFirst(const QDomNode& node, const QStringList& path, int depth = 0)
{
    for (QDomElement child = node.firstChildElement(path.at(depth)); !child.isNull();
         child = child.nextSiblingElement(path.at(depth))) {
        if (depth == path.size() - 1)
            return child;
        const QDomElement found = FindFirst(child, path, depth + 1);
        if (!found.isNull())
            return found;
    }
    return {};
}

QDomElement SelectFirst(const QDomNode& root, const QString& path)
{
    const QStringList names = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (names.isEmpty())
        return {};
    return FindFirst(root, names);
}

// The words of the value written "#0.0#", read exactly whatever its size.
QString MoneyText(const QVariant& value)
{
    if (const std::optional<Decimal> amount = NumberOf(value))
        return GetChineseMoney(FormatNumber(*amount, QStringLiteral("#0.0#")));
    return GetChineseMoney(value.toString());
}

QDomNode NodeOf(const QVariant& value)
{
    if (value.metaType() == QMetaType::fromType<QDomElement>())
        return value.value<QDomElement>();
    if (value.metaType() == QMetaType::fromType<QDomNode>())
        return value.value<QDomNode>();
    if (value.metaType() == QMetaType::fromType<QDomDocument>())
        return value.value<QDomDocument>().documentElement();
    return {};
}

// The document that owns the record nodes until CreatePrintXml copies them.
// A node does not keep its document alive, so nodes made in the template's
// document would dangle once the builder returns.
QDomDocument& NodeDocument()
{
    static QDomDocument doc;
    return doc;
}

} // namespace

QDomElement BuildDataRecordNode(const RecordSet& rows, const QString& str_templeteName,
                                const QString& colsPath)
{
    if (rows.isEmpty())
        return {};
    QDomDocument doc = LoadTemplate(str_templeteName);
    const QDomElement cols = SelectFirst(doc, colsPath);
    if (cols.isNull())
        throw DbError(QStringLiteral("打印模板中找不到节点: ") + colsPath);

    struct Column {
        QString name;
        int field;
        bool money;
    };
    QList<Column> columns;
    for (QDomElement c = cols.firstChildElement(); !c.isNull(); c = c.nextSiblingElement()) {
        if (!c.hasAttribute(QStringLiteral("BindField")))
            throw DbError(QStringLiteral("打印模板字段缺少BindField属性: ") + c.tagName());
        QString bind = c.attribute(QStringLiteral("BindField"));
        const bool money = bind.contains(kMoneyMarker);
        bind.remove(kMoneyMarker);
        const int field = rows.fieldIndex(bind);
        if (field < 0)
            throw DbError(QStringLiteral("打印数据中没有字段: ") + bind);
        columns.append({c.tagName(), field, money});
    }

    QDomDocument& owner = NodeDocument();
    QDomElement record = owner.createElement(QStringLiteral("DataRecord"));
    for (int r = 0; r < rows.RecordCount(); ++r) {
        QDomElement row = owner.createElement(QStringLiteral("DataRow"));
        for (const Column& column : columns) {
            const QVariant value = rows.value(r, column.field);
            QDomElement cell = owner.createElement(column.name);
            const QString text =
                column.money ? MoneyText(value) : (IsNullOrEmpty(value) ? QString() : ValueText(value));
            if (!text.isEmpty())
                cell.appendChild(owner.createTextNode(text));
            row.appendChild(cell);
        }
        record.appendChild(row);
    }
    return record;
}

QDomElement BuildDataRecordNode(const RecordSetPtr& rows, const QString& str_templeteName,
                                const QString& colsPath)
{
    if (!rows)
        return {};
    return BuildDataRecordNode(*rows, str_templeteName, colsPath);
}

QString CreatePrintXml(const QString& templateName, const KeyValue& nodes)
{
    const QString folder = GenerateFolder();
    DeleteOldFiles(folder, QStringLiteral("*.xml"), 1);

    const QDomDocument templ = LoadTemplate(templateName);
    const QDomElement content = templ.documentElement();
    if (content.isNull() || content.tagName() != QLatin1String("Content"))
        throw DbError(QStringLiteral("打印模板缺少Content元素: ") + TemplateFile(templateName));

    QDomDocument doc;
    doc.appendChild(doc.createProcessingInstruction(QStringLiteral("xml"),
                                                    QStringLiteral("version='1.0' encoding='utf-8'")));
    doc.appendChild(doc.importNode(content, true));

    for (const auto& [key, value] : nodes.Items()) {
        const QDomElement found = SelectFirst(doc, key);
        if (found.isNull())
            throw DbError(QStringLiteral("打印模板中找不到节点: ") + key);
        const QDomNode node = NodeOf(value);
        if (node.isNull())
            throw DbError(QStringLiteral("打印数据节点无效: ") + key);
        QDomNode parent = found.parentNode();
        parent.removeChild(found);
        parent.appendChild(doc.importNode(node, true));
    }

    const QString fileName =
        Clock::Now().toString(QStringLiteral("yyyyMMdd-HHmmss")) + GetGuidStr() + QStringLiteral(".xml");
    if (!QDir().mkpath(folder))
        throw DbError(QStringLiteral("无法创建打印数据文件夹: ") + folder);
    QSaveFile file(folder + fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(doc.toByteArray(1)) < 0 || !file.commit())
        throw DbError(
            QStringLiteral("无法写入打印数据文件: %1 (%2)").arg(folder + fileName, file.errorString()));
    return fileName;
}

void DeleteOldFiles(const QString& folder, const QString& pattern, int days)
{
    const qint64 limit = Clock::Today().addDays(-days).toString(QStringLiteral("yyyyMMdd")).toLongLong();
    QDir dir(folder);
    if (!dir.exists())
        return;
    const QFileInfoList files =
        dir.entryInfoList({pattern}, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& info : files) {
        const QString name = info.fileName();
        const bool old = days == -1 || (name.size() >= 13 && ReadNumber(name.left(8)) <= double(limit));
        // A file still held by the print tool is simply left for the next run.
        if (old)
            QFile::remove(info.absoluteFilePath());
    }
}

QString GetGuidStr()
{
    const QUuid id = QUuid::createUuid();
    if (id.isNull())
        return QString();
    return id.toString(QUuid::Id128).toUpper();
}

QString PrintToolCommand(PrintKind kind, const QString& billCode)
{
    return QStringLiteral("ulmPrint:TypeId=%1&BillCode=%2&FileName=").arg(int(kind)).arg(billCode);
}

void RunPrint(const QString& command)
{
#ifdef Q_OS_WIN
    const QString tool = GetAppPath() + QStringLiteral("qvPrint/qvPrint.exe");
#else
    const QString tool = GetAppPath() + QStringLiteral("qvPrint/qvPrint");
#endif
    if (!Launcher::StartDetached(tool, {command}))
        MsgBox::SystemError(QStringLiteral("无法启动打印程序: ") + QDir::toNativeSeparators(tool));
}
