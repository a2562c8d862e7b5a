#pragma once

#include <QSqlError>
#include <QString>
#include <stdexcept>

// A failure of the database layer. The data classes let it pass; the window
// handler that started the operation shows message() titled "System".
class DbError : public std::runtime_error
{
  public:
    explicit DbError(const QString& message) : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    const QString& message() const { return m_message; }

  private:
    QString m_message;
};

// The text of a database error as the windows show it: for the failures a
// user can act on (a damaged, full, read-only or busy file) a sentence that
// says what happened, then the database's own text on the next line; other
// errors (a refused constraint, a statement's fault) with the database's
// text alone.
QString SqlErrorText(const QSqlError& error);

// The sentence for an SQLite result code, empty for codes without one.
QString SqlErrorSentence(int sqliteCode);
