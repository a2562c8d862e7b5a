#pragma once

#include <QSqlError>
#include <QString>
#include <stdexcept>

// A failure of the database layer. The data classes let it pass; the window
// handler that started the operation shows message() titled "System", with
// details() in the message box's details part.
class DbError : public std::runtime_error
{
  public:
    explicit DbError(const QString& message, const QString& details = {})
        : std::runtime_error(message.toStdString()), m_message(message), m_details(details)
    {
    }
    // The one sentence the clerk reads.
    const QString& message() const { return m_message; }
    // The database's own words (SQLite's English text), for whoever looks
    // further; empty for the program's own refusals.
    const QString& details() const { return m_details; }

  private:
    QString m_message;
    QString m_details;
};

// The sentence a clerk reads for an SQLite result code (a primary or an
// extended one): what happened, in Chinese. Every code has one; a code that
// is none (0, or a failure without a code) reads as a failed operation.
QString SqlErrorSentence(int sqliteCode);

// A failure the database reported, as the windows show it: the sentence of
// its code as the message and the database's own text as the details. The
// text of a trigger's refusal (RAISE in the schema) is the schema's own
// sentence and is the message itself. The database's text also goes to the
// log (category "wms.db").
DbError SqlFailure(int sqliteCode, const QString& databaseText);
DbError SqlFailure(const QSqlError& error);

// The message of SqlFailure(error).
QString SqlErrorText(const QSqlError& error);
