#include "ShellFixture.h"

#include "PrintToolArea.h"

#include <QMdiArea>
#include <QToolBar>

namespace
{

class PrintAreaTest : public ShellTest
{
};

// The frame hands the print tool the area below its toolbar, and again after
// it changes size or moves: the print preview never opens over the toolbar.
TEST_F(PrintAreaTest, TheFrameHandsThePrintToolTheAreaBelowItsToolbar)
{
    frm_Main& f = frame();
    const struct {
        QPoint at;
        QSize size;
    } places[] = {{{0, 0}, {1400, 900}}, {{0, 0}, {1024, 768}}, {{120, 80}, {1000, 700}}};
    for (const auto& place : places) {
        SCOPED_TRACE(place.size.width());
        f.move(place.at);
        f.resize(place.size);
        f.show();
        settle();
        const QMdiArea* area = f.Area();
        EXPECT_EQ(PrintToolArea(), QRect(area->mapToGlobal(QPoint(0, 0)), area->size()));
        const auto* toolbar = f.findChild<QToolBar*>(QStringLiteral("u_toolbar"));
        ASSERT_NE(toolbar, nullptr);
        EXPECT_GE(PrintToolArea().top(), toolbar->mapToGlobal(QPoint(0, toolbar->height())).y());
    }
}

} // namespace
