// qvPrint: the print tool the warehouse program starts with a print command.
// It shows the print data as pages in a print preview, from which the user
// prints them or saves them as a PDF.

#include "ButtonKeys.h"
#include "MessageBoxes.h"
#include "MsgBox.h"
#include "PrintJob.h"
#include "QtTranslations.h"

#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>
#ifdef __GLIBC__
#include <malloc.h>
#endif

int main(int argc, char** argv)
{
#ifdef __GLIBC__
    // The PDF writer takes and frees buffers of megabytes at every page: kept
    // in the heap, they are used again instead of mapped and zeroed anew.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
    mallopt(M_TOP_PAD, 16 * 1024 * 1024);
#endif
    // Writing a PDF needs no screen.
    bool pdfOnly = false;
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--pdf") == 0)
            pdfOnly = true;
    }
    if (pdfOnly && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    InstallQtTranslations();
    InstallMessageBoxes();
    InstallButtonKeys();
    QApplication::setApplicationName(QStringLiteral("qvPrint"));

    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("command"),
                                 QStringLiteral("ulmPrint:TypeId=…&BillCode=…&FileName=…"));
    const QCommandLineOption pdfOption(QStringLiteral("pdf"),
                                       QStringLiteral("Write the pages to this PDF file, without a window."),
                                       QStringLiteral("file"));
    const QCommandLineOption dirOption(QStringLiteral("dir"),
                                       QStringLiteral("The folder holding templeteXml/ and generateXml/."),
                                       QStringLiteral("folder"));
    parser.addOption(pdfOption);
    parser.addOption(dirOption);
    parser.addHelpOption();
    parser.process(app);

    const auto fail = [&](const QString& error) {
        if (parser.isSet(pdfOption))
            std::fprintf(stderr, "%s\n", error.toLocal8Bit().constData());
        else
            MsgBox::SystemError(error);
        return 1;
    };

    const QStringList args = parser.positionalArguments();
    PrintCommand command;
    QString error;
    if (!ParsePrintCommand(args.value(0), command, error))
        return fail(error);
    const QString toolDir =
        parser.isSet(dirOption) ? parser.value(dirOption) : QApplication::applicationDirPath();
    PrintJob job;
    if (!LoadPrintJob(toolDir, command, job, error))
        return fail(error);

    if (parser.isSet(pdfOption))
        return WritePdf(job, parser.value(pdfOption), error) ? 0 : fail(error);
    ShowPrintPreview(job);
    return 0;
}
