#pragma once

// Reading a print data file forward, as the job and the pages need it.

#include "PrintData.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QXmlStreamReader>
#include <vector>

namespace printtool
{

// Reads a print data file forward: the rows of DataGroupHead (kept, when its
// columns are given) and of DataDetail (handed out one at a time), each row
// one text per column of its section (the first element of the column's name
// in the row, trimmed). A detail text longer than cellLimit characters is
// kept to that length (0: whole).
class DataReader
{
  public:
    DataReader(const QList<PrintColumn>* headColumns, const QList<PrintColumn>& detailColumns,
               int cellLimit = 0)
        : m_headColumns(headColumns), m_detailColumns(detailColumns), m_cellLimit(cellLimit)
    {
    }

    bool open(const QString& path)
    {
        m_path = path;
        m_file.setFileName(path);
        if (!m_file.open(QIODevice::ReadOnly)) {
            m_error = what() + QStringLiteral("不存在: ") + QDir::toNativeSeparators(path);
            return false;
        }
        m_xml.setDevice(&m_file);
        return true;
    }

    // The next detail row; false at the end of the file or when it cannot be
    // read on (error() then says why).
    bool next(QStringList& row)
    {
        while (!m_done && !m_xml.atEnd()) {
            const QXmlStreamReader::TokenType token = m_xml.readNext();
            if (token == QXmlStreamReader::EndElement) {
                --m_depth;
                if (m_depth < 2)
                    m_section = None;
                continue;
            }
            if (token != QXmlStreamReader::StartElement)
                continue;
            ++m_depth;
            const QStringView name = m_xml.name();
            if (m_depth == 1) {
                if (name != QLatin1String("Content")) {
                    m_error = what() + QStringLiteral("缺少Content元素: ") + QDir::toNativeSeparators(m_path);
                    m_done = true;
                    return false;
                }
                m_root = true;
            } else if (m_depth == 2) {
                m_section = name == QLatin1String("DataDetail")                       ? Detail
                            : name == QLatin1String("DataGroupHead") && m_headColumns ? Head
                                                                                      : None;
                if (m_section == None)
                    skip();
                else
                    index(m_section == Head ? *m_headColumns : m_detailColumns);
            } else if (m_depth == 3) {
                if (name != QLatin1String("DataRecord"))
                    skip();
            } else if (m_depth == 4) {
                if (name != QLatin1String("DataRow")) {
                    skip();
                    continue;
                }
                const bool head = m_section == Head;
                readRow(head ? *m_headColumns : m_detailColumns, head ? 0 : m_cellLimit, row);
                --m_depth; // the row's end was read
                if (!head)
                    return true;
                m_headRows.append(row);
            }
        }
        if (!m_done) {
            m_done = true;
            if (m_xml.hasError() || !m_root) {
                m_error = QStringLiteral("%1格式错误: %2 (第%3行: %4)")
                              .arg(what(), QDir::toNativeSeparators(m_path))
                              .arg(m_xml.lineNumber())
                              .arg(m_xml.hasError() ? m_xml.errorString() : QStringLiteral("空文件"));
            }
        }
        return false;
    }

    const QList<QStringList>& headRows() const { return m_headRows; }
    const QString& error() const { return m_error; }

  private:
    enum Section { None, Head, Detail };

    static QString what() { return QStringLiteral("打印数据文件"); }

    void skip()
    {
        m_xml.skipCurrentElement();
        --m_depth;
    }

    void index(const QList<PrintColumn>& columns)
    {
        m_index.clear();
        for (int c = 0; c < columns.size(); ++c)
            m_index.insert(columns.at(c).name, c);
    }

    // The cells of a row, read to the row's end; the columns usually come in
    // the template's order, so the next one is tried before the index.
    void readRow(const QList<PrintColumn>& columns, int limit, QStringList& row)
    {
        const int n = int(columns.size());
        row = QStringList(n);
        m_seen.assign(size_t(n), false);
        int expected = 0;
        while (m_xml.readNextStartElement()) {
            const QStringView name = m_xml.name();
            int c = expected < n && name == columns.at(expected).name ? expected : -1;
            if (c < 0)
                c = m_index.value(name.toString(), -1);
            QString text = m_xml.readElementText(QXmlStreamReader::IncludeChildElements);
            if (c >= 0 && !m_seen[size_t(c)]) {
                text = text.trimmed();
                if (limit > 0 && text.size() > limit)
                    text.truncate(limit);
                row[c] = std::move(text);
                m_seen[size_t(c)] = true;
            }
            expected = c + 1;
        }
    }

    const QList<PrintColumn>* m_headColumns;
    const QList<PrintColumn>& m_detailColumns;
    const int m_cellLimit;
    QString m_path;
    QFile m_file;
    QXmlStreamReader m_xml;
    QHash<QString, int> m_index;
    std::vector<bool> m_seen;
    QList<QStringList> m_headRows;
    QString m_error;
    Section m_section = None;
    int m_depth = 0;
    bool m_root = false;
    bool m_done = false;
};

} // namespace printtool
