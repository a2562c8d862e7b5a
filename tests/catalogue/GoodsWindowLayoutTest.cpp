#include "GoodsWindowFixture.h"

#include <QAction>
#include <QDir>
#include <QImage>
#include <QScrollBar>
#include <QToolBar>

using GoodsLayoutTest = GoodsWindowTest;

namespace
{

QRect rectIn(QWidget* window, QWidget* w)
{
    return QRect(w->mapTo(window, QPoint(0, 0)), w->size());
}

} // namespace

// The 刷新 picture (a small picture in its file) is drawn as large as its
// neighbours' pictures, so its caption stands level with theirs.
TEST_F(GoodsLayoutTest, TheRefreshPictureIsAsLargeAsItsNeighbours)
{
    QDir().mkpath(appDir() + QStringLiteral("Ico"));
    QImage small(16, 16, QImage::Format_ARGB32);
    small.fill(Qt::darkGreen);
    ASSERT_TRUE(small.save(appDir() + QStringLiteral("Ico/refresh.ico"), "ICO"));
    open();
    auto* bar = ui::child<QToolBar>(window.get(), "utoolbar");
    const QSize room = bar->iconSize();
    const QSize neighbour = ui::child<QAction>(window.get(), "export")->icon().actualSize(room);
    EXPECT_EQ(ui::child<QAction>(window.get(), "refresh")->icon().actualSize(room), neighbour);
    EXPECT_EQ(neighbour, room);
    QWidget* refresh = bar->widgetForAction(ui::child<QAction>(window.get(), "refresh"));
    QWidget* close = bar->widgetForAction(ui::child<QAction>(window.get(), "close"));
    EXPECT_EQ(refresh->sizeHint().height(), close->sizeHint().height());
}

// The window asks to be shown maximised, as the main frame opens it.
TEST_F(GoodsLayoutTest, OpensMaximised)
{
    frmGoods w;
    EXPECT_TRUE(w.windowState() & Qt::WindowMaximized);
}

// From the room a maximised child window has on a 1024×768 screen up to a
// large one: every control stays inside the window, the form's fields, the
// packing-unit area and the title strip do not overlap, and captions are whole.
TEST_F(GoodsLayoutTest, NothingOverlapsOrLeavesTheWindow)
{
    open();
    window->showNormal();
    const char* formFields[] = {"txt_goodsCode",       "cobo_status",   "txt_goodsName", "txt_goodsDesc",
                                "cobo_goodsTypeName",  "txt_upqty",     "txt_downqty",   "txt_unit",
                                "txt_goodsDetailCode", "txt_packQty",   "txt_weight",    "txt_inPrice",
                                "txt_salePrice",       "btn_GoodsSave", "btn_GoodsAdd",  "btn_GoodsCopy",
                                "btn_GoodsDelete"};
    const char* unitArea[] = {"Label16",          "Label17",        "btn_addBarCode", "btn_setDefault",
                              "btn_DetailDelete", "btn_DetailSave", "vsflg_Detail"};
    const char* strip[] = {
        "Label1",      "Label9",         "txt_KeyWord", "btn_search", "btn_GoodsDeleteList",
        "lb_rowCount", "btn_goodsTypeMg"};
    for (const QSize size : {QSize(1000, 540), QSize(1100, 600), QSize(1400, 820), QSize(1900, 1000)}) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        window->resize(size);
        QApplication::processEvents();
        ASSERT_EQ(window->size(), size);
        const QRect all = window->rect();
        QList<const char*> names(std::begin(formFields), std::end(formFields));
        names << QList<const char*>(std::begin(unitArea), std::end(unitArea))
              << QList<const char*>(std::begin(strip), std::end(strip))
              << QList<const char*>{"tv_type", "vsGoodsList", "utoolbar"};
        for (const char* name : names) {
            QWidget* w = ui::child<QWidget>(window.get(), name);
            EXPECT_TRUE(all.contains(rectIn(window.get(), w))) << name;
            // No narrower than its layout lets it be (its own minimum, else its hint).
            EXPECT_GE(w->width(), w->minimumWidth() > 0 ? w->minimumWidth() : w->minimumSizeHint().width())
                << name;
            if (auto* label = qobject_cast<QLabel*>(w)) {
                EXPECT_GE(label->width(), label->sizeHint().width()) << name;
            }
            if (auto* button = qobject_cast<QPushButton*>(w)) {
                EXPECT_GE(button->width(), button->fontMetrics().horizontalAdvance(button->text()) + 8)
                    << name;
            }
        }
        for (const char* f : formFields) {
            for (const char* u : unitArea) {
                EXPECT_FALSE(rectIn(window.get(), ui::child<QWidget>(window.get(), f))
                                 .intersects(rectIn(window.get(), ui::child<QWidget>(window.get(), u))))
                    << f << " / " << u;
            }
        }
        for (int i = 0; i < int(std::size(strip)); ++i) {
            for (int j = i + 1; j < int(std::size(strip)); ++j) {
                EXPECT_FALSE(
                    rectIn(window.get(), ui::child<QWidget>(window.get(), strip[i]))
                        .intersects(rectIn(window.get(), ui::child<QWidget>(window.get(), strip[j]))))
                    << strip[i] << " / " << strip[j];
            }
        }
        // The list and the edit panel share the right column without overlapping.
        EXPECT_FALSE(
            rectIn(window.get(), list())
                .intersects(rectIn(window.get(), ui::child<QWidget>(window.get(), "pic_goods_detail"))));
    }
}
