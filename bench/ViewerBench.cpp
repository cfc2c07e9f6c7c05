// morvask-bench-viewer: times the viewer in-process, offscreen, and prints
// key=value lines for run-bench.py.
//
//   morvask-bench-viewer --baseline        toolkit and windows only
//   morvask-bench-viewer FILE              start-up, then the open of FILE
//   morvask-bench-viewer --select FILE     the open, then switches between examinations
//   morvask-bench-viewer --copy FILE       the open, then copies every row of the analysis grid
//   morvask-bench-viewer --find FILE       the open, then find as you type in the examination list
//   morvask-bench-viewer --grab PNG FILE   the open, then the window's pixels into PNG (also for a
//                                          file with findings), to compare two builds
//   morvask-bench-viewer --print FILE      the open, then prints the shown examination to a PDF file
//
// start-up: QApplication, the look, both windows, the first show and paint.
// open: OpenTransferFile (check, load, display) up to the end of a paint of
// the whole window. select: the list's click up to the repaint of what changed.
#include "ClassicLook.h"
#include "ErrorDisplay.h"
#include "HelpInfoForm.h"
#include "Main.h"
#include "StringGrid.h"

#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPrinter>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using TClock = std::chrono::steady_clock;

double MillisecondsSince(TClock::time_point start)
{
    return std::chrono::duration<double, std::milli>(TClock::now() - start).count();
}

// Counts paint events, so a timing that painted nothing is noticed.
class TEventWatch : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++FPaints;
        return QObject::eventFilter(watched, event);
    }
    long Paints() const { return FPaints; }

private:
    long FPaints = 0;
};

// Lets the toolkit finish what the last step queued, then paints the whole
// window at once: the end of a display.
void FinishDisplay(QWidget& window)
{
    QCoreApplication::processEvents();
    window.repaint();
    QCoreApplication::processEvents();
}

int Usage()
{
    std::fputs("usage: morvask-bench-viewer --baseline | [--select | --copy | --find | --print | --grab PNG] FILE\n", stderr);
    return 2;
}

// Ctrl+A and Ctrl+C in the analysis grid, as a user copies every parameter
// row; timed up to the text on the clipboard.
int BenchCopy(TMainForm& mainForm)
{
    auto* samples = mainForm.findChild<TStringGrid*>(QStringLiteral("sgSamples"));
    if (samples == nullptr)
        return 1;
    samples->setFocus();
    const int rows = samples->RowCount() - samples->FixedRows();
    std::vector<double> times;
    for (int run = 0; run < 5; ++run) {
        QGuiApplication::clipboard()->clear();
        const TClock::time_point begin = TClock::now();
        QKeyEvent selectAll(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier, QStringLiteral("\x01"));
        QApplication::sendEvent(samples, &selectAll);
        QKeyEvent copy(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier, QStringLiteral("\x03"));
        QApplication::sendEvent(samples, &copy);
        const qsizetype lines = QGuiApplication::clipboard()->text().count(QLatin1Char('\n'));
        times.push_back(MillisecondsSince(begin));
        if (lines != rows + 1) {
            std::fprintf(stderr, "morvask-bench-viewer: copied %lld lines for %d rows\n", static_cast<long long>(lines), rows);
            return 1;
        }
    }
    std::sort(times.begin(), times.end());
    std::printf("copied_rows=%d\ncopy_median_ms=%.3f\n", rows, times[times.size() / 2]);
    return 0;
}

// Prints the shown examination into a PDF file, as the print dialog would
// when told to print into a file; timed from the confirmed dialog to the
// finished file.
int BenchPrint(TMainForm& mainForm)
{
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("druck.pdf"));
    std::vector<double> times;
    for (int run = 0; run < 3; ++run) {
        TClock::time_point begin;
        mainForm.SetPrintDialog([&](QPrinter& printer, QWidget*) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            begin = TClock::now();
            return true;
        });
        mainForm.PrintShown();
        times.push_back(MillisecondsSince(begin));
        if (QFileInfo(pdf).size() == 0) {
            std::fputs("morvask-bench-viewer: nothing was printed\n", stderr);
            return 1;
        }
    }
    std::sort(times.begin(), times.end());
    std::printf("print_bytes=%lld\nprint_median_ms=%.3f\n", static_cast<long long>(QFileInfo(pdf).size()),
                times[times.size() / 2]);
    return 0;
}

// Typed keys in the examination list: a text that only the last examination
// matches (each key searches the whole list), then one that matches none.
int BenchFind(TMainForm& mainForm)
{
    auto* list = mainForm.findChild<TStringGrid*>(QStringLiteral("sgObjectList"));
    if (list == nullptr)
        return 1;
    list->setFocus();
    int64_t now = 0;
    list->SetTypeAheadClock([&now] { return now; });
    const int lastRow = list->RowCount() - 1;
    const QString last = list->Cell(1, lastRow);
    std::vector<double> times;
    auto type = [&](const QString& key) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, key);
        const TClock::time_point begin = TClock::now();
        QApplication::sendEvent(list, &press);
        QCoreApplication::processEvents();
        times.push_back(MillisecondsSince(begin));
    };
    for (int round = 0; round < 3; ++round) {
        now += 10000;
        list->SetRow(list->FixedRows());
        for (const QChar ch : last)
            type(QString(ch));
        if (list->Row() != lastRow) {
            std::fprintf(stderr, "morvask-bench-viewer: typing %s found row %d\n", qPrintable(last), list->Row());
            return 1;
        }
        type(QStringLiteral("\u00A7")); // no examination has it
    }
    std::sort(times.begin(), times.end());
    std::printf("find_keys=%zu\nfind_median_ms=%.3f\nfind_max_ms=%.3f\n", times.size(), times[times.size() / 2],
                times.back());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    bool baseline = false;
    bool select = false;
    bool copy = false;
    bool find = false;
    const char* grab = nullptr;
    bool print = false;
    const char* path = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--baseline") == 0)
            baseline = true;
        else if (std::strcmp(argv[i], "--select") == 0)
            select = true;
        else if (std::strcmp(argv[i], "--copy") == 0)
            copy = true;
        else if (std::strcmp(argv[i], "--find") == 0)
            find = true;
        else if (std::strcmp(argv[i], "--grab") == 0 && i + 1 < argc)
            grab = argv[++i];
        else if (std::strcmp(argv[i], "--print") == 0)
            print = true;
        else if (argv[i][0] != '-' && path == nullptr)
            path = argv[i];
        else
            return Usage();
    }
    if (baseline == (path != nullptr))
        return Usage();
    qputenv("QT_QPA_PLATFORM", "offscreen");

    const TClock::time_point startupBegin = TClock::now();
    int appArgc = 1;
    QApplication app(appArgc, argv);
    ApplyClassicLook(app);
    TEventWatch watch;
    app.installEventFilter(&watch);
    TMainForm mainForm;
    TfrmInfoHelp helpForm;
    helpForm.hide();
    mainForm.SetHelpForm(&helpForm);
    // No path source: the window opens nothing by itself; the open is timed below.
    mainForm.show();
    FinishDisplay(mainForm);
    std::printf("startup_ms=%.3f\n", MillisecondsSince(startupBegin));
    if (baseline)
        return 0;

    const TClock::time_point openBegin = TClock::now();
    if (grab != nullptr) {
        // What the program's error display would show instead of the open.
        try {
            mainForm.OpenTransferFile(std::string(path));
        } catch (const std::exception& error) {
            std::printf("error=%s\n", ApplicationErrorText(error).toUtf8().constData());
            return 1;
        }
    } else {
        mainForm.OpenTransferFile(std::string(path));
    }
    FinishDisplay(mainForm);
    std::printf("open_ms=%.3f\n", MillisecondsSince(openBegin));
    std::printf("investigations=%d\n", mainForm.InvestigationCount());
    if (grab != nullptr)
        return mainForm.grab().save(QString::fromLocal8Bit(grab), "PNG") ? 0 : 1;
    if (mainForm.InvestigationCount() < 1) {
        std::fputs("morvask-bench-viewer: nothing was loaded\n", stderr);
        return 1;
    }
    if (copy)
        return BenchCopy(mainForm);
    if (find)
        return BenchFind(mainForm);
    if (print)
        return BenchPrint(mainForm);
    if (!select)
        return 0;

    auto* list = mainForm.findChild<TStringGrid*>(QStringLiteral("sgObjectList"));
    if (list == nullptr) {
        std::fputs("morvask-bench-viewer: no examination list\n", stderr);
        return 1;
    }
    // Alternate between the first examination and others spread over the file.
    const int count = mainForm.InvestigationCount();
    const int headerRows = list->FixedRows();
    std::vector<double> times;
    for (int step = 1; step <= 12; ++step) {
        const int index = step % 2 == 1 ? std::min(count - 1, std::max(1, count * step / 13)) : 0;
        const long paintsBefore = watch.Paints();
        const TClock::time_point begin = TClock::now();
        list->SetRow(headerRows + index);
        emit list->Click();
        // As in the running program: the toolkit repaints what changed.
        QCoreApplication::processEvents();
        times.push_back(MillisecondsSince(begin));
        if (watch.Paints() == paintsBefore) {
            std::fputs("morvask-bench-viewer: selecting painted nothing\n", stderr);
            return 1;
        }
        if (mainForm.CurrentIndex() != index) {
            std::fprintf(stderr, "morvask-bench-viewer: selecting row %d showed examination %d\n",
                         headerRows + index, mainForm.CurrentIndex());
            return 1;
        }
    }
    std::sort(times.begin(), times.end());
    std::printf("select_median_ms=%.3f\nselect_max_ms=%.3f\n", times[times.size() / 2], times.back());
    return 0;
}
