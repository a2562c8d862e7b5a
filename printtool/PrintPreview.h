#pragma once

// The print tool's window: the print preview of a job's pages.

#include "PrintData.h"

#include <QDialog>
#include <memory>

class QPrinter;
class QRect;

// The print preview: one page at a time, fitted to the window's width, with
// 打印, 导出PDF and the page moves (also PageUp, PageDown, Home, End). The
// first page shows as soon as it is laid out; the rest are laid out while
// the window waits for the user, the page count following. Printing and the
// PDF show the busy cursor and, past a couple of seconds, their progress. A
// data file found unreadable on the way is said in a message, and the
// preview closes.
class PrintPreview : public QDialog
{
  public:
    explicit PrintPreview(const PrintJob& job, QWidget* parent = nullptr);
    ~PrintPreview() override;

    int currentPage() const; // from 0
    void showPage(int page);
    // All pages (lays out what is left).
    int pageCount();
    // Prints to printer (already set up) or writes a PDF file; false when it failed.
    bool printTo(QPrinter& printer);
    bool savePdf(const QString& file);

  private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Fits the preview into area (screen pixels) and centres it there; an empty
// area leaves it where it is.
void PlacePreview(QWidget& preview, const QRect& area);

// Shows the print preview, from which the user prints or saves a PDF, within
// the program's work area (PrintToolArea) when it gave one; returns the
// dialog's result.
int ShowPrintPreview(const PrintJob& job);
