#pragma once

#include "TestEnv.h"

#include "DialogRunner.h"
#include "WindowRegistry.h"
#include "frmLogin.h"
#include "frm_Main.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <functional>
#include <memory>

// A main frame on the test's own database. Windows registered through
// registerWindow() are removed again, and the frame is destroyed before the
// database goes (closing it would ask the exit question).
class ShellTest : public DbTest
{
  protected:
    void TearDown() override
    {
        m_frame.reset();
        for (const QString& name : m_registered)
            WindowRegistry::remove(name);
        settle();
        DbTest::TearDown();
    }

    frm_Main& frame()
    {
        if (!m_frame)
            m_frame = std::make_unique<frm_Main>();
        return *m_frame;
    }

    template <class F> void registerWindow(const QString& name, F factory)
    {
        WindowRegistry::add(name, factory);
        m_registered.append(name);
    }

    // Deferred deletions and queued calls run.
    static void settle()
    {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QApplication::processEvents();
        }
    }

    // Starts the frame; the login dialog is worked by work, which answers the dialog's result.
    bool startWith(const std::function<void(frmLogin*)>& work)
    {
        DialogRunner::QueueHandler([work](QDialog* d) {
            auto* login = qobject_cast<frmLogin*>(d);
            EXPECT_NE(login, nullptr);
            if (login)
                work(login);
            return d->result();
        });
        return frame().Start();
    }

    static void type(frmLogin* d, const QString& name, const QString& pw)
    {
        d->findChild<QLineEdit*>(QStringLiteral("txtUserName"))->setText(name);
        d->findChild<QLineEdit*>(QStringLiteral("txtPassword"))->setText(pw);
    }
    static void click(frmLogin* d, const char* button)
    {
        d->findChild<QPushButton*>(QString::fromLatin1(button))->click();
    }
    static void logIn(frmLogin* d, const QString& name, const QString& pw)
    {
        type(d, name, pw);
        click(d, "cmdOK");
    }

    // A department with exactly the given function rights, and a user in it (password 740).
    void addDepartmentUser(int departmentId, int userId, const QString& userName, const QStringList& rights,
                           bool enabled = true)
    {
        exec(
            QStringLiteral("INSERT INTO tb_dictionary (id, utype, uname) VALUES (%1, 'department', '部门%1')")
                .arg(departmentId));
        exec(QStringLiteral("INSERT INTO tb_user (id, [user], pw, usex, isStart, dictionaryId) VALUES "
                            "(%1, '%2', 'cf9246bb0d40eb4d', '男', %3, %4)")
                 .arg(userId)
                 .arg(userName)
                 .arg(enabled ? 1 : 0)
                 .arg(departmentId));
        for (const QString& code : rights)
            exec(QStringLiteral("INSERT INTO tb_user_group_fun (funCode, departmentId) VALUES ('%1', %2)")
                     .arg(code)
                     .arg(departmentId));
    }

    std::unique_ptr<frm_Main> m_frame;
    QStringList m_registered;
};
