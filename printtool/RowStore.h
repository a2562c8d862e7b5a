#pragma once

// The detail rows a job's pages have read, kept in a temporary file.

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <QTemporaryFile>
#include <vector>

namespace printtool
{

// The detail rows read so far: the job's own rows, or those read from the
// data file, kept in a temporary file in the order read. Every 64th row's
// place is noted, so a page's rows are found with one seek.
class RowStore
{
  public:
    explicit RowStore(const QList<QStringList>* held) : m_held(held) {}

    int count() const { return m_count; }

    // Keeps the next row (of the data file; the job's own are only counted).
    bool append(const QStringList& row)
    {
        if (m_held) {
            ++m_count;
            return true;
        }
        if (!m_file.isOpen() && !m_file.open())
            return false;
        m_buffer.resize(sizeof(quint32) * (2 + row.size()));
        auto* sizes = reinterpret_cast<quint32*>(m_buffer.data());
        sizes[1] = quint32(row.size());
        for (int c = 0; c < row.size(); ++c) {
            sizes = reinterpret_cast<quint32*>(m_buffer.data());
            sizes[2 + c] = quint32(row.at(c).size());
            m_buffer.append(reinterpret_cast<const char*>(row.at(c).utf16()),
                            row.at(c).size() * qsizetype(sizeof(char16_t)));
        }
        sizes = reinterpret_cast<quint32*>(m_buffer.data());
        sizes[0] = quint32(m_buffer.size());
        if (m_count % kMarkEvery == 0)
            m_marks.push_back(m_end);
        if ((m_file.pos() != m_end && !m_file.seek(m_end)) || m_file.write(m_buffer) != m_buffer.size())
            return false;
        m_end += m_buffer.size();
        ++m_count;
        return true;
    }

    // Row r (< count()); false when the temporary file cannot be read.
    bool read(int r, QStringList& row)
    {
        if (m_held) {
            row = m_held->at(r);
            return true;
        }
        if (r != m_nextRow) {
            m_nextRow = r - r % kMarkEvery;
            m_readAt = m_marks[size_t(r / kMarkEvery)];
            for (; m_nextRow < r; ++m_nextRow) {
                if (!readSize())
                    return false;
                m_readAt += m_size;
            }
        }
        if (!readSize())
            return false;
        m_buffer.resize(m_size);
        const qint64 rest = qint64(m_size - sizeof m_size);
        if (m_file.read(m_buffer.data() + sizeof m_size, rest) != rest)
            return false;
        const auto* sizes = reinterpret_cast<const quint32*>(m_buffer.constData());
        const int cells = int(sizes[1]);
        const auto* chars = reinterpret_cast<const char16_t*>(sizes + 2 + cells);
        row = QStringList(cells);
        for (int c = 0; c < cells; ++c) {
            row[c] = QString::fromUtf16(chars, qsizetype(sizes[2 + c]));
            chars += sizes[2 + c];
        }
        m_readAt += m_size;
        ++m_nextRow;
        return true;
    }

  private:
    static constexpr int kMarkEvery = 64;

    bool readSize()
    {
        if ((m_file.pos() != m_readAt && !m_file.seek(m_readAt)) ||
            m_file.read(reinterpret_cast<char*>(&m_size), sizeof m_size) != qint64(sizeof m_size)) {
            return false;
        }
        return m_size >= 2 * sizeof(quint32);
    }

    const QList<QStringList>* m_held;
    QTemporaryFile m_file;
    QByteArray m_buffer;
    std::vector<qint64> m_marks;
    int m_count = 0;
    qint64 m_end = 0;
    int m_nextRow = -1;
    qint64 m_readAt = 0;
    quint32 m_size = 0;
};

} // namespace printtool
