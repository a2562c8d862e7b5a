#pragma once

#include "BillDirection.h"
#include "MsgBox.h"

#include <QString>
#include <QTemporaryDir>
#include <QVariant>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

// A direction as the test output and a parameterised test's name print it.
inline void PrintTo(BillDirection direction, std::ostream* os)
{
    *os << (direction == BillDirection::In ? "inbound" : "outbound");
}

// A program folder of its own with a fresh database, the shared connection
// open on it, SysVar filled for department 0, and the message facade, dialog
// runner and launcher in test mode. TearDown fails the test on an unexpected
// question or dialog and on an answer left over.
class DbTest : public ::testing::Test
{
  protected:
    void SetUp() override;
    void TearDown() override;

    QString appDir() const; // ends with "/"
    // Copies the print templates built beside the test program into the
    // program folder's print tool, as an installation holds them; false when
    // one could not be copied.
    bool installPrintTemplates() const;
    // Runs a statement on the shared connection; fails the test on an error.
    void exec(const QString& sql);
    // The first column of the first row, or an invalid QVariant.
    QVariant scalar(const QString& sql);
    int count(const QString& table, const QString& where = {});
    // Logs in as the given user row (CurrentUser and SysVar as after a login).
    void loginAs(int userId);

    // The texts of the messages shown so far, oldest first.
    QStringList shown() const { return MsgBox::ShownTexts(); }
    void answer(MsgAnswer a) { MsgBox::QueueAnswer(a); }

  private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

// A second workstation on the same database file: a connection of its own,
// writing between the checks and the writes of the program under test.
class OtherWorkstation
{
  public:
    explicit OtherWorkstation(const QString& databaseFile);
    ~OtherWorkstation();
    OtherWorkstation(const OtherWorkstation&) = delete;
    OtherWorkstation& operator=(const OtherWorkstation&) = delete;
    // Runs one statement; fails the test on an error.
    void exec(const QString& sql);

  private:
    QString m_name;
};

// What the database layer logs (category "wms.db") while one lives: the
// database's own words of every failure it reports.
class DbLog
{
  public:
    DbLog();
    ~DbLog();
    DbLog(const DbLog&) = delete;
    DbLog& operator=(const DbLog&) = delete;
    // Every line logged so far, one a line.
    QString text() const;
};
