#pragma once

#include <QString>

// A text accumulator; the data classes build their SQL text in one.
class StringBulider
{
  public:
    StringBulider& Append(const QString& Str)
    {
        m_text += Str;
        return *this;
    }
    StringBulider& NewLine()
    {
        m_text += QStringLiteral("\r\n");
        return *this;
    }
    QString ToString() const { return m_text; }
    void Clear() { m_text.clear(); }

  private:
    QString m_text;
};
