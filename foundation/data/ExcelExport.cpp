#include "ExcelExport.h"

#include "Clock.h"
#include "Launcher.h"
#include "MsgBox.h"
#include "OutputText.h"
#include "sqlHelper.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QUrl>
#include <xlsxwriter.h>

namespace
{

// A text that reads back exactly as the number it holds goes into the sheet
// as a number, so that the spreadsheet can sum it; codes with leading zeros,
// numbers with trailing zeros and every other text stay texts.
bool IsPlainNumber(const QString& text, double& number)
{
    static const QRegularExpression plain(QStringLiteral(R"(^-?(0|[1-9][0-9]{0,14})(\.[0-9]{1,14})?$)"));
    if (!plain.match(text).hasMatch())
        return false;
    number = text.toDouble();
    return DecimalText(number) == text;
}

// A name in the export folder no earlier export has taken, so two exports in
// the same second keep both workbooks.
QString FreeExportName(const QString& folder)
{
    const QString stamp = Clock::Now().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString path = folder + stamp + QStringLiteral(".xlsx");
    for (int n = 2; QFile::exists(path); ++n)
        path = folder + stamp + QStringLiteral("_%1.xlsx").arg(n);
    return path;
}

void ShowExportError(const QString& description)
{
    MsgBox::Show(QStringLiteral("导出失败: ") + description, MsgIcon::Critical, QStringLiteral("Error"));
}

lxw_error WriteText(lxw_worksheet* sheet, int row, int col, const QString& text, lxw_format* format)
{
    if (text.isEmpty())
        return worksheet_write_blank(sheet, lxw_row_t(row), lxw_col_t(col), format);
    double number = 0;
    if (IsPlainNumber(text, number))
        return worksheet_write_number(sheet, lxw_row_t(row), lxw_col_t(col), number, format);
    return worksheet_write_string(sheet, lxw_row_t(row), lxw_col_t(col), text.toUtf8().constData(), format);
}

// Writes the workbook; the error of the first step that failed.
lxw_error WriteWorkbook(const QString& path, const ExportData& exportData, const QString& title,
                        const QStringList& headings)
{
    lxw_workbook* book = workbook_new(QFile::encodeName(path).constData());
    if (!book)
        return LXW_ERROR_MEMORY_MALLOC_FAILED;
    lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
    lxw_format* format = workbook_add_format(book);
    lxw_error error = sheet && format ? LXW_NO_ERROR : LXW_ERROR_MEMORY_MALLOC_FAILED;
    if (!error) {
        format_set_font_size(format, 10);
        // The column formats give the empty cells of the whole sheet size 10 as well.
        error = worksheet_set_column(sheet, 0, LXW_COL_MAX - 1, LXW_DEF_COL_WIDTH, format);
    }
    if (!error)
        error = worksheet_write_string(sheet, 0, 0, title.toUtf8().constData(), format);
    for (int c = 0; !error && c < headings.size(); ++c)
        error = WriteText(sheet, 1, c, headings.at(c), format);
    for (int r = 0; !error && r < exportData.data.size(); ++r) {
        const QStringList& row = exportData.data.at(r);
        for (int c = 0; !error && c < row.size(); ++c)
            error = WriteText(sheet, r + 2, c, row.at(c), format);
    }
    // Closing frees the workbook whatever happened; it writes the file.
    const lxw_error closeError = workbook_close(book);
    return error ? error : closeError;
}

} // namespace

ExportData RecordSetToArray(RecordSet& rs)
{
    ExportData result;
    if (rs.eof())
        return result;
    rs.MoveFirst();
    while (!rs.eof()) {
        QStringList row;
        row.reserve(rs.fieldCount());
        for (int j = 0; j < rs.fieldCount(); ++j)
            row.append(ValueText(rs.Fields(j)));
        result.data.append(row);
        rs.MoveNext();
    }
    result.hasData = true;
    result.rowCount = int(result.data.size());
    return result;
}

ExportData RecordSetToArray(const RecordSetPtr& rs)
{
    if (!rs)
        return {};
    return RecordSetToArray(*rs);
}

void ExportToExcel(const ExportData& exportData, const QString& title, const QString& headers)
{
    if (!exportData.hasData) {
        MsgBox::Show(QStringLiteral("无记录导出!"), MsgIcon::Exclamation, QStringLiteral("System"));
        return;
    }
    const QStringList headings = headers.isEmpty() ? QStringList() : headers.split(QLatin1Char(','));

    const QString folder = GetAppPath() + QStringLiteral("qvPrint/generateXls/");
    if (!QDir().mkpath(folder)) {
        ShowExportError(QStringLiteral("无法创建文件夹 ") + QDir::toNativeSeparators(folder));
        return;
    }
    const QString path = FreeExportName(folder);
    const lxw_error error = WriteWorkbook(path, exportData, title, headings);
    if (error) {
        QFile::remove(path);
        ShowExportError(QDir::toNativeSeparators(path) + QStringLiteral("\n") +
                        QString::fromUtf8(lxw_strerror(error)));
        return;
    }

    MsgBox::Info(QStringLiteral("导出完成！"), QStringLiteral("System"));
    if (!Launcher::OpenUrl(QUrl::fromLocalFile(path)))
        MsgBox::SystemError(QStringLiteral("无法打开导出的文件,文件已保存为: ") +
                            QDir::toNativeSeparators(path));
}
