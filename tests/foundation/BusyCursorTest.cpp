#include "DbError.h"
#include "DialogRunner.h"
#include "Guarded.h"
#include "KeyValue.h"
#include "MsgBox.h"
#include "TestEnv.h"
#include "m_DBresult.h"
#include "sqlHelper.h"

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QElapsedTimer>
#include <QPaintEvent>
#include <QThread>
#include <QWidget>

#include <gtest/gtest.h>
#include <stdexcept>

namespace
{

// The cursor the mouse shows now: the override on top, or none.
Qt::CursorShape Shown()
{
    const QCursor* c = QGuiApplication::overrideCursor();
    return c ? c->shape() : Qt::BitmapCursor;
}

class BusyCursorTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        MsgBox::BeginTest();
        DialogRunner::BeginTest();
        ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
    }
    void TearDown() override
    {
        DialogRunner::EndTest();
        MsgBox::EndTest();
        EXPECT_TRUE(DialogRunner::Failures().isEmpty());
        EXPECT_TRUE(MsgBox::Failures().isEmpty()) << MsgBox::Failures().join('\n').toStdString();
    }
    QWidget window;
};

// A handler shows the busy cursor while it works and gives the arrow back
// when it ends, whether it runs through or fails; its failure message comes
// with the arrow already back.
TEST_F(BusyCursorTest, AHandlerShowsItWhileItRunsAndRestoresItAfterAlsoWhenItFails)
{
    const struct {
        const char* name;
        std::function<void()> ending;
        bool ok;
        const char* message;
    } cases[] = {
        {"runs through", [] {}, true, nullptr},
        {"database error", [] { throw DbError(QStringLiteral("数据库已锁定")); }, false, "数据库已锁定"},
        {"other failure", [] { throw std::runtime_error("disk full"); }, false, "disk full"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MsgBox::ClearShown();
        Qt::CursorShape during = Qt::ArrowCursor;
        bool activeDuring = false;
        const bool ok = Guarded(&window, [&] {
            QThread::msleep(30); // long work
            during = Shown();
            activeDuring = BusyCursor::Active();
            c.ending();
        });
        EXPECT_EQ(ok, c.ok);
        EXPECT_EQ(during, Qt::WaitCursor);
        EXPECT_TRUE(activeDuring);
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "restored";
        EXPECT_FALSE(BusyCursor::Active());
        if (c.message) {
            ASSERT_EQ(MsgBox::Shown().size(), 1);
            EXPECT_EQ(MsgBox::LastText(), QString::fromUtf8(c.message));
        } else {
            EXPECT_TRUE(MsgBox::Shown().isEmpty());
        }
    }
}

// A dialog opened by a handler is worked with the arrow; the busy cursor
// comes back when it closes, and a handler inside the dialog has its own.
TEST_F(BusyCursorTest, ADialogOfAHandlerShowsTheArrow)
{
    Qt::CursorShape inDialog = Qt::BitmapCursor;
    Qt::CursorShape inDialogHandler = Qt::BitmapCursor;
    Qt::CursorShape afterDialog = Qt::BitmapCursor;
    Guarded(&window, [&] {
        QDialog dialog(&window);
        DialogRunner::QueueHandler([&](QDialog* d) {
            inDialog = Shown();
            Guarded(d, [&] { inDialogHandler = Shown(); });
            return int(QDialog::Accepted);
        });
        DialogRunner::Exec(&dialog);
        afterDialog = Shown();
    });
    EXPECT_EQ(inDialog, Qt::ArrowCursor);
    EXPECT_EQ(inDialogHandler, Qt::WaitCursor);
    EXPECT_EQ(afterDialog, Qt::WaitCursor);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

// A window that tells when it is drawn.
class DrawnWindow : public QWidget
{
  public:
    std::function<void()> onPaint;

  protected:
    void paintEvent(QPaintEvent*) override
    {
        if (onPaint)
            onPaint();
    }
};

class LockWaitTest : public DbTest
{
};

// While a save waits for another workstation's lock, the window is drawn
// again when the window system asks (a question box closed over it) and the
// busy cursor shows; the save goes through once the lock is free. Here the
// other workstation lets its lock go only when the window is drawn, so a
// wait that draws nothing would end in a failed save.
TEST_F(LockWaitTest, TheWindowKeepsDrawingWhileASaveWaits)
{
    exec(QStringLiteral("CREATE TABLE t (x)"));
    SetBusyTimeout(5000);
    OtherWorkstation other(appDir() + QStringLiteral("wms.db"));
    other.exec(QStringLiteral("BEGIN IMMEDIATE"));
    other.exec(QStringLiteral("INSERT INTO t VALUES (1)"));

    DrawnWindow window;
    window.resize(200, 100);
    window.show();
    QCoreApplication::processEvents();

    bool waiting = false;
    bool drawnWhileWaiting = false;
    Qt::CursorShape cursorWhileDrawn = Qt::BitmapCursor;
    window.onPaint = [&] {
        if (!waiting || drawnWhileWaiting)
            return;
        drawnWhileWaiting = true;
        cursorWhileDrawn = Shown();
        other.exec(QStringLiteral("COMMIT"));
    };
    m_DBresult saved;
    QElapsedTimer took;
    const bool ok = Guarded(&window, [&] {
        window.update(); // the place of a closed question box
        waiting = true;
        took.start();
        KeyValue batch;
        batch.AddItem(QStringLiteral("INSERT INTO t VALUES (2)"), QVariant());
        saved = ExecuteTrans(batch);
        waiting = false;
    });
    SetBusyTimeout(30000);
    EXPECT_TRUE(ok);
    EXPECT_TRUE(drawnWhileWaiting);
    EXPECT_EQ(cursorWhileDrawn, Qt::WaitCursor);
    EXPECT_TRUE(saved.isResult) << saved.str_MsgBox.toStdString();
    EXPECT_LT(took.elapsed(), 4000);
    EXPECT_EQ(count(QStringLiteral("t")), 2);
}

} // namespace
