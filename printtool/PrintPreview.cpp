// The print preview: a page at a time from the job's pages, with the toolbar
// that prints them, saves them as a PDF and moves through them.

#include "PrintPreview.h"

#include "DialogRunner.h"
#include "Guarded.h"
#include "MsgBox.h"
#include "PrintPages.h"
#include "PrintToolArea.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QScrollArea>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>

namespace
{

// One page of the preview, painted scaled to the widget from the layout.
class PageView : public QWidget
{
  public:
    PageView(PrintPages& pages, QPrinter& printer, QWidget* parent)
        : QWidget(parent), m_pages(pages), m_printer(printer)
    {
        setAutoFillBackground(false);
    }
    int page = 0;

    QSizeF paper() const { return m_printer.pageLayout().fullRectPixels(m_printer.resolution()).size(); }
    int heightForWidth(int w) const override
    {
        const QSizeF p = paper();
        return int(w * p.height() / std::max(1.0, p.width()));
    }

  protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(128, 128, 128));
        const QSizeF p = paper();
        const double s = std::min(width() / p.width(), height() / p.height());
        const QRectF sheet(0, 0, p.width() * s, p.height() * s);
        painter.translate((width() - sheet.width()) / 2, 0);
        painter.fillRect(sheet, Qt::white);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.scale(s, s);
        painter.translate(m_printer.pageLayout().paintRectPixels(m_printer.resolution()).topLeft());
        m_pages.paintPage(painter, page);
    }

  private:
    PrintPages& m_pages;
    QPrinter& m_printer;
};

// Prints pages to printer with the busy cursor, and past a moment a progress window.
bool PrintWithProgress(PrintPages& pages, QPrinter& printer, const QString& title, QWidget* parent)
{
    const BusyCursor busy;
    pages.layout(&printer, PageRect(printer));
    QProgressDialog progress(QStringLiteral("正在打印..."), QString(), 0, 1, parent);
    progress.setWindowTitle(title);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(1500);
    progress.setValue(0);
    return pages.print(printer, [&](int done, int total) {
        progress.setMaximum(total);
        progress.setLabelText(QStringLiteral("正在打印第 %1 页, 共 %2 页...").arg(done).arg(total));
        progress.setValue(done);
    });
}

} // namespace

struct PrintPreview::Impl {
    explicit Impl(const PrintJob& j) : job(j), pages(j) {}
    PrintJob job;
    QPrinter printer{QPrinter::HighResolution};
    PrintPages pages;
    PageView* view = nullptr;
    QScrollArea* area = nullptr;
    QLabel* label = nullptr;
    QTimer more;
    QString failure; // why the last print or PDF read no whole data file
};

PrintPreview::PrintPreview(const PrintJob& job, QWidget* parent)
    : QDialog(parent), d(std::make_unique<Impl>(job))
{
    setObjectName(QStringLiteral("qvPrintPreview"));
    setWindowTitle(QStringLiteral("打印预览 - ") + job.title);
    SetUpPrinter(job, d->printer);
    d->pages.layout(&d->printer, PageRect(d->printer));

    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("previewBar"));
    const auto add = [&](const QString& name, const QString& text, auto slot, QKeySequence key = {}) {
        QAction* a = bar->addAction(text);
        a->setObjectName(name);
        a->setShortcut(key);
        connect(a, &QAction::triggered, this, slot);
    };
    add(QStringLiteral("print"), QStringLiteral("打印"), [this] {
        QPrintDialog dialog(&d->printer, this);
        if (DialogRunner::Exec(&dialog) == QDialog::Accepted && !printTo(d->printer) && !d->failure.isEmpty())
            MsgBox::SystemError(d->failure, this);
        showPage(currentPage());
    });
    add(QStringLiteral("pdf"), QStringLiteral("导出PDF"), [this] {
        QFileDialog dialog(this, QStringLiteral("导出PDF"),
                           QDir::homePath() + QLatin1Char('/') + d->job.title + QStringLiteral(".pdf"),
                           QStringLiteral("PDF (*.pdf)"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("pdf"));
        if (DialogRunner::Exec(&dialog) == QDialog::Accepted && !dialog.selectedFiles().isEmpty() &&
            !savePdf(dialog.selectedFiles().first()))
            MsgBox::SystemError(d->failure.isEmpty()
                                    ? QStringLiteral("无法写入PDF文件: ") +
                                          QDir::toNativeSeparators(dialog.selectedFiles().first())
                                    : d->failure,
                                this);
    });
    bar->addSeparator();
    add(
        QStringLiteral("first"), QStringLiteral("首页"), [this] { showPage(0); }, QKeySequence(Qt::Key_Home));
    add(
        QStringLiteral("previous"), QStringLiteral("上一页"), [this] { showPage(currentPage() - 1); },
        QKeySequence(Qt::Key_PageUp));
    add(
        QStringLiteral("next"), QStringLiteral("下一页"), [this] { showPage(currentPage() + 1); },
        QKeySequence(Qt::Key_PageDown));
    add(
        QStringLiteral("last"), QStringLiteral("末页"), [this] { showPage(pageCount() - 1); },
        QKeySequence(Qt::Key_End));
    bar->addSeparator();
    d->label = new QLabel(bar);
    d->label->setObjectName(QStringLiteral("pageLabel"));
    bar->addWidget(d->label);
    add(QStringLiteral("close"), QStringLiteral("关闭"), [this] { accept(); });

    d->area = new QScrollArea(this);
    d->area->setWidgetResizable(true);
    d->area->setBackgroundRole(QPalette::Dark);
    d->view = new PageView(d->pages, d->printer, d->area);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    d->view->setSizePolicy(policy);
    d->area->setWidget(d->view);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(d->area, 1);

    // The pages after the first are laid out while the window waits.
    d->more.setInterval(0);
    connect(&d->more, &QTimer::timeout, this, [this] {
        QElapsedTimer slice;
        slice.start();
        bool going = true;
        while (going && slice.elapsed() < 30)
            going = d->pages.morePages();
        if (!going)
            d->more.stop();
        if (!d->pages.error().isEmpty()) {
            d->more.stop();
            MsgBox::SystemError(d->pages.error(), this);
            reject();
            return;
        }
        showPage(currentPage());
    });
    d->more.start();
    showPage(0);
}

PrintPreview::~PrintPreview() = default;

int PrintPreview::currentPage() const
{
    return d->view->page;
}

void PrintPreview::showPage(int page)
{
    d->pages.pageReady(page);
    page = std::clamp(page, 0, std::max(0, d->pages.pagesMade() - 1));
    d->view->page = page;
    const bool all = !d->more.isActive();
    d->label->setText(
        all ? QStringLiteral(" 第 %1 页 / 共 %2 页 ").arg(page + 1).arg(d->pages.pagesMade())
            : QStringLiteral(" 第 %1 页 / 已排 %2 页... ").arg(page + 1).arg(d->pages.pagesMade()));
    d->view->update();
}

int PrintPreview::pageCount()
{
    const int n = d->pages.pageCount();
    d->more.stop();
    showPage(currentPage());
    return n;
}

bool PrintPreview::printTo(QPrinter& printer)
{
    if (&printer == &d->printer) {
        const bool done = PrintWithProgress(d->pages, printer, d->job.title, this);
        d->failure = d->pages.error();
        return done;
    }
    // Another device: the rows already read are laid out for it and then
    // again for the preview, so the data file is not read a second time
    // (the program may have cleared it away meanwhile).
    d->more.stop();
    d->view->setUpdatesEnabled(false);
    const bool done = PrintWithProgress(d->pages, printer, d->job.title, this);
    d->failure = d->pages.error();
    d->pages.layout(&d->printer, PageRect(d->printer));
    d->view->setUpdatesEnabled(true);
    if (d->failure.isEmpty())
        d->more.start();
    showPage(currentPage());
    return done;
}

bool PrintPreview::savePdf(const QString& file)
{
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(file);
    SetUpPrinter(d->job, pdf);
    return printTo(pdf) && QFileInfo(file).size() > 0;
}

void PlacePreview(QWidget& preview, const QRect& area)
{
    if (area.isEmpty())
        return;
    // A window manager puts its title bar above the window: room is kept for it.
    constexpr int kTitleBar = 32;
    const int width = std::min(preview.width(), area.width());
    const int height = std::min(preview.height(), std::max(1, area.height() - kTitleBar));
    preview.resize(width, height);
    preview.move(area.left() + (area.width() - width) / 2,
                 area.top() + std::max(0, (area.height() - kTitleBar - height) / 2));
}

int ShowPrintPreview(const PrintJob& job)
{
    PrintPreview preview(job);
    preview.resize(1000, 760);
    PlacePreview(preview, PrintToolArea());
    return DialogRunner::Exec(&preview);
}
