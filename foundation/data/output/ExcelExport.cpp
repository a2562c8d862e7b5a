#include "ExcelExport.h"

#include "Clock.h"
#include "Decimal.h"
#include "Launcher.h"
#include "MsgBox.h"
#include "OutputText.h"
#include "RowReader.h"
#include "sqlHelper.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QUrl>
#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <xlsxwriter.h>

namespace
{

// A numeric text goes into the sheet as a number, so that the spreadsheet can
// sum it, with the display format that shows it as the window did ("3.0",
// "12.50", "0.333333333333333"): as many decimals as the text has. Codes stay
// texts: a leading zero ("007", but not "0.5"), more integer digits than an
// amount has (barcodes, more than 11), more significant digits than a double
// holds (15), more than 30 decimals, or any other shape. A single line break
// at the very end is let pass ("12\n" is 12).
constexpr int kMaxDecimals = 30;

bool ReadNumericText(const QString& text, double& number, int& decimals)
{
    const QChar* const p = text.constData();
    qsizetype n = text.size();
    if (n > 0 && p[n - 1] == QLatin1Char('\n'))
        --n;
    const auto digit = [p](qsizetype i) { return p[i].unicode() >= '0' && p[i].unicode() <= '9'; };
    qsizetype i = 0;
    if (i < n && p[i] == QLatin1Char('-'))
        ++i;
    const qsizetype intStart = i;
    if (i >= n || !digit(i))
        return false;
    if (p[i] == QLatin1Char('0')) {
        ++i;
    } else {
        while (i < n && digit(i))
            ++i;
        if (i - intStart > 11)
            return false;
    }
    const qsizetype intEnd = i;
    qsizetype fracStart = i;
    if (i < n) {
        if (p[i] != QLatin1Char('.'))
            return false;
        fracStart = ++i;
        while (i < n && digit(i))
            ++i;
        if (i == fracStart || i - fracStart > kMaxDecimals || i != n)
            return false;
    }
    decimals = int(i - fracStart);
    // The zeros before the first significant digit hold no digit of the value.
    qsizetype significant = (intEnd - intStart) + decimals;
    for (qsizetype k = intStart; significant > 1 && k < n; ++k) {
        if (k == intEnd)
            continue; // the point
        if (p[k] != QLatin1Char('0'))
            break;
        --significant;
    }
    if (significant > 15)
        return false;
    bool ok = false;
    number = QStringView(p, n).toDouble(&ok);
    return ok;
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

ExportProgress& ExportProgressReceiver()
{
    static ExportProgress receiver;
    return receiver;
}

void ShowExportError(const QString& description, const QString& details = {})
{
    MsgBox::ShowWithDetails(QStringLiteral("导出失败: ") + description, details, MsgIcon::Critical,
                            QStringLiteral("Error"));
}

// The cell formats of one workbook: font size 10, and a display format per
// number of decimals, made as they are first needed.
class CellFormats
{
  public:
    explicit CellFormats(lxw_workbook* book) : m_book(book) {}
    lxw_format* text() { return number(-1); }
    lxw_format* number(int decimals)
    {
        lxw_format*& format = m_formats[size_t(decimals + 1)];
        if (!format) {
            format = workbook_add_format(m_book);
            if (format) {
                format_set_font_size(format, 10);
                if (decimals >= 0) {
                    const QByteArray pattern =
                        decimals > 0 ? "0." + QByteArray(decimals, '0') : QByteArray("0");
                    format_set_num_format(format, pattern.constData());
                }
            }
        }
        return format;
    }

  private:
    lxw_workbook* m_book;
    std::array<lxw_format*, kMaxDecimals + 2> m_formats{}; // by decimals + 1 (-1: texts)
};

// Writes the cells of one sheet: a text's UTF-8 form is made in one buffer
// that every cell reuses.
class CellWriter
{
  public:
    CellWriter(lxw_worksheet* sheet, CellFormats& formats) : m_sheet(sheet), m_formats(formats) {}

    lxw_error Write(int row, int col, const QString& text)
    {
        const auto r = lxw_row_t(row);
        const auto c = lxw_col_t(col);
        if (text.isEmpty())
            return worksheet_write_blank(m_sheet, r, c, m_formats.text());
        double number = 0;
        int decimals = 0;
        if (ReadNumericText(text, number, decimals))
            return worksheet_write_number(m_sheet, r, c, number, m_formats.number(decimals));
        const qsizetype need = m_encoder.requiredSpace(text.size()) + 1;
        if (m_utf8.size() < need)
            m_utf8.resize(need);
        char* const end = m_encoder.appendToBuffer(m_utf8.data(), text);
        *end = '\0';
        return worksheet_write_string(m_sheet, r, c, m_utf8.constData(), m_formats.text());
    }

  private:
    lxw_worksheet* m_sheet;
    CellFormats& m_formats;
    QStringEncoder m_encoder{QStringEncoder::Utf8};
    QByteArray m_utf8;
};

// The sheet's rows on their way to libxlsxwriter's temporary file. The
// library writes a number cell's value with 16 significant digits of its
// double ("%.16G": 8.2 becomes 8.199999999999999); every number cell here
// comes from a text of at most 15 significant digits, so the value is
// written back as those digits (the 15-digit rounding of the 16 recovers
// them): the cell holds the decimal the window showed. Only number cells
// hold a <v> element in a sheet without formulas; texts are inline and
// escaped.
class NumberCellText
{
  public:
    // A stream over target that rewrites the values of number cells; null
    // when the system cannot make one (the rows then go unchanged).
    static FILE* Open(FILE* target)
    {
        auto* filter = new NumberCellText(target);
        const cookie_io_functions_t io{&NumberCellText::read, &NumberCellText::write, &NumberCellText::seek,
                                       &NumberCellText::close};
        FILE* stream = fopencookie(filter, "w+", io);
        if (!stream)
            delete filter;
        return stream;
    }

  private:
    explicit NumberCellText(FILE* target) : m_target(target) {}

    static ssize_t write(void* cookie, const char* data, size_t size)
    {
        auto* f = static_cast<NumberCellText*>(cookie);
        f->m_pending.append(data, size);
        return f->pass(false) ? ssize_t(size) : -1;
    }
    static ssize_t read(void* cookie, char* data, size_t size)
    {
        auto* f = static_cast<NumberCellText*>(cookie);
        const size_t n = fread(data, 1, size, f->m_target);
        return n == 0 && ferror(f->m_target) ? -1 : ssize_t(n);
    }
    static int seek(void* cookie, off64_t* offset, int whence)
    {
        auto* f = static_cast<NumberCellText*>(cookie);
        if (!f->pass(true) || fflush(f->m_target) != 0 || fseeko(f->m_target, *offset, whence) != 0)
            return -1;
        *offset = ftello(f->m_target);
        return 0;
    }
    static int close(void* cookie)
    {
        auto* f = static_cast<NumberCellText*>(cookie);
        const bool written = f->pass(true);
        const int closed = fclose(f->m_target);
        delete f;
        return written && closed == 0 ? 0 : -1;
    }

    // Writes what is complete of the pending text; with all, the rest too.
    bool pass(bool all)
    {
        static const std::string_view open = "<v>";
        static const std::string_view shut = "</v>";
        std::string out;
        size_t from = 0;
        while (true) {
            const size_t v = m_pending.find(open, from);
            if (v == std::string::npos) {
                // Keep back what may be the start of a "<v>".
                size_t keep = all ? 0 : std::min<size_t>(open.size() - 1, m_pending.size() - from);
                out.append(m_pending, from, m_pending.size() - from - keep);
                from = m_pending.size() - keep;
                break;
            }
            const size_t end = m_pending.find(shut, v + open.size());
            if (end == std::string::npos && !all) {
                out.append(m_pending, from, v - from);
                from = v;
                break;
            }
            if (end == std::string::npos) {
                out.append(m_pending, from, std::string::npos);
                from = m_pending.size();
                break;
            }
            out.append(m_pending, from, v + open.size() - from);
            const std::string_view value(m_pending.data() + v + open.size(), end - v - open.size());
            const std::optional<Decimal> number = Decimal::FromText(value);
            if (number)
                out += number->roundedSignificant(15).toStdString();
            else
                out.append(value);
            from = end;
        }
        m_pending.erase(0, from);
        return out.empty() || fwrite(out.data(), 1, out.size(), m_target) == out.size();
    }

    FILE* m_target;
    std::string m_pending;
};

// Writes the workbook; the error of the first step that failed.
lxw_error WriteWorkbook(const QString& path, const ExportRows& rows, const QString& title,
                        const QStringList& headings)
{
    // Constant memory: each row goes to the file as soon as the next begins,
    // so a whole report never sits in memory (the texts are stored inline).
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* book = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    if (!book)
        return LXW_ERROR_MEMORY_MALLOC_FAILED;
    lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
    // In constant-memory mode the rows go to one temporary file, read back
    // when the workbook closes: the number cells pass through NumberCellText.
    if (sheet && sheet->optimize_tmpfile && sheet->file == sheet->optimize_tmpfile) {
        if (FILE* rows = NumberCellText::Open(sheet->optimize_tmpfile)) {
            sheet->file = rows;
            sheet->optimize_tmpfile = rows;
        }
    }
    CellFormats formats(book);
    lxw_format* format = formats.text();
    lxw_error error = sheet && format ? LXW_NO_ERROR : LXW_ERROR_MEMORY_MALLOC_FAILED;
    if (!error) {
        // The column formats give the empty cells of the whole sheet size 10 as well.
        error = worksheet_set_column(sheet, 0, LXW_COL_MAX - 1, LXW_DEF_COL_WIDTH, format);
    }
    if (!error)
        error = worksheet_write_string(sheet, 0, 0, title.toUtf8().constData(), format);
    CellWriter cells(sheet, formats);
    for (int c = 0; !error && c < headings.size(); ++c)
        error = cells.Write(1, c, headings.at(c));
    QStringList row;
    for (int r = 0; !error && rows(row); ++r) {
        for (int c = 0; !error && c < row.size(); ++c)
            error = cells.Write(r + 2, c, row.at(c));
    }
    // Closing frees the workbook whatever happened; it writes the file.
    const lxw_error closeError = workbook_close(book);
    return error ? error : closeError;
}

// Writes the export into a new workbook, then says so and opens it.
void ExportRowsToExcel(const ExportRows& rows, const QString& title, const QString& headers)
{
    const QStringList headings = headers.isEmpty() ? QStringList() : headers.split(QLatin1Char(','));

    const QString folder = GetAppPath() + QStringLiteral("qvPrint/generateXls/");
    if (!QDir().mkpath(folder)) {
        ShowExportError(QStringLiteral("无法创建文件夹 ") + QDir::toNativeSeparators(folder));
        return;
    }
    const QString path = FreeExportName(folder);
    // The rows are counted as they are read, for the progress display.
    const ExportProgress& progress = ExportProgressReceiver();
    qint64 written = 0;
    QString details; // the database's own text of a row that failed
    const ExportRows counted = [&](QStringList& row) {
        bool more = false;
        try {
            more = rows(row);
        } catch (const DbError& e) {
            details = e.details();
            throw;
        }
        if (more && ++written % kExportProgressRows == 0 && progress)
            progress(written, false);
        return more;
    };
    if (progress)
        progress(0, false);
    const QString error = WriteExcelWorkbook(path, counted, title, headings);
    if (progress)
        progress(written, true);
    if (!error.isEmpty()) {
        QFile::remove(path);
        ShowExportError(QDir::toNativeSeparators(path) + QStringLiteral("\n") + error, details);
        return;
    }

    MsgBox::Info(QStringLiteral("导出完成！"), QStringLiteral("System"));
    if (!Launcher::OpenUrl(QUrl::fromLocalFile(path)))
        MsgBox::SystemError(QStringLiteral("无法打开导出的文件,文件已保存为: ") +
                            QDir::toNativeSeparators(path));
}

} // namespace

void SetExportProgress(ExportProgress progress)
{
    ExportProgressReceiver() = std::move(progress);
}

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

QString WriteExcelWorkbook(const QString& path, const ExportRows& rows, const QString& title,
                           const QStringList& headings)
{
    QString failure;
    // A row that cannot be read (a query failing half-way) fails the export.
    const ExportRows guarded = [&rows, &failure](QStringList& row) {
        try {
            return rows(row);
        } catch (const DbError& e) {
            failure = e.message();
        }
        return false;
    };
    const lxw_error error = WriteWorkbook(path, guarded, title, headings);
    if (!failure.isEmpty())
        return failure;
    return error ? QString::fromUtf8(lxw_strerror(error)) : QString();
}

ExportRows ExportRowsOf(const ExportData& exportData)
{
    return [&exportData, next = qsizetype(0)](QStringList& row) mutable {
        if (next >= exportData.data.size())
            return false;
        row = exportData.data.at(next++);
        return true;
    };
}

ExportRows ExportRowsOf(RowReader& reader)
{
    return [&reader](QStringList& row) {
        if (!reader.next())
            return false;
        row.clear();
        row.reserve(reader.fieldCount());
        for (int c = 0; c < reader.fieldCount(); ++c)
            row.append(reader.text(c));
        return true;
    };
}

void ExportToExcel(const ExportData& exportData, const QString& title, const QString& headers)
{
    if (!exportData.hasData) {
        MsgBox::Show(QStringLiteral("无记录导出!"), MsgIcon::Exclamation, QStringLiteral("System"));
        return;
    }
    ExportRowsToExcel(ExportRowsOf(exportData), title, headers);
}

void ExportToExcel(const ExportRows& rows, const QString& title, const QString& headers)
{
    // The first row is read before anything is written: without one there is
    // nothing to export and no file is made.
    QStringList first;
    bool haveFirst = false;
    try {
        haveFirst = rows(first);
    } catch (const DbError& e) {
        ShowExportError(e.message(), e.details());
        return;
    }
    if (!haveFirst) {
        MsgBox::Show(QStringLiteral("无记录导出!"), MsgIcon::Exclamation, QStringLiteral("System"));
        return;
    }
    bool firstTaken = false;
    ExportRowsToExcel(
        [&](QStringList& row) {
            if (!firstTaken) {
                firstTaken = true;
                row = first;
                return true;
            }
            return rows(row);
        },
        title, headers);
}
