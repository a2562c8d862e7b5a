#pragma once

#include "GridDriver.h"
#include "TestEnv.h"
#include "UiDriver.h"
#include "XlsxSheet.h"

#include "DialogRunner.h"
#include "FlexGrid.h"
#include "Launcher.h"
#include "MsgBox.h"
#include "RegisterWindows.h"
#include "ReportFrame.h"
#include "WindowRegistry.h"
#include "frmBill.h"
#include "frmLogin.h"
#include "frm_Main.h"
#include "frm_select.h"
#include "sqlHelper.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <memory>

// Failure messages show texts as texts.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.left(200).toStdString() << '"';
}

// The program as a clerk meets it: the real windows, registered as the
// program registers them, opened through the main frame's menus after a
// login. The print tool's templates sit in the program folder as they do
// beside the installed program.
class DayTest : public DbTest
{
  protected:
    void SetUp() override
    {
        DbTest::SetUp();
        RegisterWindows();
        ASSERT_TRUE(installPrintTemplates());
        QDir().mkpath(appDir() + QStringLiteral("qvPrint/generateXml"));
    }
    void TearDown() override
    {
        m_frame.reset();
        settle();
        DbTest::TearDown();
    }

    static void settle()
    {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QApplication::processEvents();
        }
    }

    // Starts the program's frame and logs in at its login window.
    bool start(const QString& user, const QString& password)
    {
        m_frame.reset();
        settle();
        m_frame = std::make_unique<frm_Main>();
        DialogRunner::QueueHandler([user, password](QDialog* d) {
            auto* login = qobject_cast<frmLogin*>(d);
            EXPECT_NE(login, nullptr);
            if (!login)
                return int(QDialog::Rejected);
            ui::activate(login);
            ui::typeInto(login, "txtUserName", user);
            ui::typeInto(login, "txtPassword", password);
            ui::click(login, "cmdOK");
            return d->result();
        });
        const bool ok = m_frame->Start();
        if (ok) {
            m_frame->resize(1400, 900);
            ui::activate(m_frame.get());
        }
        return ok;
    }
    frm_Main& frame() { return *m_frame; }

    // A menu entry of the main frame, chosen as a user chooses it.
    void menu(const char* entry)
    {
        auto* action = m_frame->findChild<QAction*>(QString::fromLatin1(entry));
        ASSERT_NE(action, nullptr) << entry;
        action->trigger();
        QApplication::processEvents();
    }
    template <class W = QWidget> W* window(const char* name)
    {
        auto* w = qobject_cast<W*>(WindowRegistry::instance(QString::fromLatin1(name)));
        EXPECT_NE(w, nullptr) << name;
        if (w)
            ui::activate(w);
        return w;
    }

    // Long texts are pasted, as a user would bring them.
    static void typeOrPaste(const QString& text)
    {
        if (text.size() <= 100) {
            ui::type(text);
            return;
        }
        QApplication::clipboard()->setText(text);
        ui::press(Qt::Key_V, Qt::ControlModifier);
    }
    static void replaceText(QWidget* window, const char* name, const QString& text)
    {
        auto* box = ui::child<QWidget>(window, name);
        if (!box)
            return;
        ui::focusOn(box);
        ui::press(Qt::Key_End);
        ui::press(Qt::Key_Home, Qt::ShiftModifier);
        ui::press(Qt::Key_Delete);
        typeOrPaste(text);
    }

    // Types a goods entry code into the bill's entry strip: quantity (F3) and
    // price (F5) first when given, then the code and Enter.
    static void enterGoods(frmBill* w, const QString& code, const QString& qty = {},
                           const QString& price = {})
    {
        ui::focusOn(w->txt_GoodsCode);
        if (!qty.isEmpty()) {
            ui::press(Qt::Key_F3);
            ui::type(qty);
        }
        if (!price.isEmpty()) {
            ui::press(Qt::Key_F5);
            ui::type(price);
        }
        // Ctrl+A starts a new bill in this window: the box is emptied with the
        // selection keys instead.
        ui::focusOn(w->txt_GoodsCode);
        ui::press(Qt::Key_End);
        ui::press(Qt::Key_Home, Qt::ShiftModifier);
        ui::press(Qt::Key_Delete);
        typeOrPaste(code);
        ui::press(Qt::Key_Return);
    }

    // Answers the next picker with the first row holding text in any column.
    static void pickRowWith(const QString& text)
    {
        DialogRunner::QueueHandler([text](QDialog* d) {
            auto* p = qobject_cast<frm_select*>(d);
            EXPECT_NE(p, nullptr);
            if (!p)
                return int(QDialog::Rejected);
            int found = -1;
            for (int r = p->vgInput->FixedRows(); r < p->vgInput->Rows() && found < 0; ++r)
                for (int c = 0; c < p->vgInput->Cols(); ++c)
                    if (p->vgInput->TextMatrix(r, c) == text) {
                        found = r;
                        break;
                    }
            EXPECT_GE(found, 1) << text.toStdString();
            p->vgInput->setRow(found);
            QTest::mouseClick(p->B_SelectInput, Qt::LeftButton);
            return p->result();
        });
    }

    // The data rows of a report grid that hold anything, each row's cells joined by "|".
    static QStringList reportRows(ReportFrame* w)
    {
        QStringList out;
        for (int r = w->layout().headerRows; r < w->grid()->Rows(); ++r) {
            QStringList cells;
            bool blank = true;
            for (int c = 0; c < w->grid()->Cols(); ++c) {
                cells << w->grid()->TextMatrix(r, c);
                blank = blank && cells.last().trimmed().isEmpty();
            }
            if (!blank) // an empty result keeps one empty row
                out << cells.join(QLatin1Char('|'));
        }
        return out;
    }
    static int column(ReportFrame* w, const QString& field)
    {
        for (int c = 0; c < w->layout().columns.size(); ++c)
            if (w->layout().columns.at(c).field == field)
                return c;
        ADD_FAILURE() << "no column " << field.toStdString();
        return 0;
    }
    // The text in column field of the data row whose column key holds keyText.
    static QString reportCell(ReportFrame* w, const QString& keyField, const QString& keyText,
                              const QString& field)
    {
        const int key = column(w, keyField);
        for (int r = w->layout().headerRows; r < w->grid()->Rows(); ++r)
            if (w->grid()->TextMatrix(r, key) == keyText)
                return w->grid()->TextMatrix(r, column(w, field));
        return QStringLiteral("<no row>");
    }

    // The newest exported workbook, read back.
    XlsxSheet lastWorkbook() const
    {
        const QDir folder(appDir() + QStringLiteral("qvPrint/generateXls"));
        const QStringList files = folder.entryList({QStringLiteral("*.xlsx")}, QDir::Files, QDir::Time);
        if (files.isEmpty())
            return {};
        return ReadXlsxSheet(folder.filePath(files.first()));
    }
    int workbooks() const
    {
        return int(QDir(appDir() + QStringLiteral("qvPrint/generateXls"))
                       .entryList({QStringLiteral("*.xlsx")}, QDir::Files)
                       .size());
    }
    static QString sheetText(const XlsxSheet& sheet)
    {
        QStringList rows;
        for (const QStringList& r : sheet.rows)
            rows << r.join(QLatin1Char('|'));
        return rows.join(QLatin1Char('\n'));
    }

    // Renders the last print command with our print tool; the PDF's text.
    QString printedText()
    {
        if (Launcher::Launches().isEmpty()) {
            ADD_FAILURE() << "nothing was sent to the printer";
            return {};
        }
        const QString command = Launcher::Launches().last().arguments.join(QLatin1Char(' '));
        const QString pdf = appDir() + QStringLiteral("print.pdf");
        QFile::remove(pdf);
        QProcess tool;
        tool.start(QStringLiteral(WMS_QVPRINT), {QStringLiteral("--pdf"), pdf, QStringLiteral("--dir"),
                                                 appDir() + QStringLiteral("qvPrint"), command});
        EXPECT_TRUE(tool.waitForFinished(30000));
        EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        EXPECT_TRUE(text.waitForFinished(30000));
        return QString::fromUtf8(text.readAllStandardOutput());
    }

    // Messages that tell of a fault (a system error) rather than of the user's input.
    QStringList faults() const
    {
        QStringList out;
        for (const auto& m : MsgBox::Shown())
            if (m.title == QLatin1String("System") && m.icon != MsgIcon::Information &&
                m.text != QStringLiteral("功能受限,请与系统管理联系!"))
                out << m.text;
        return out;
    }

    std::unique_ptr<frm_Main> m_frame;
};
