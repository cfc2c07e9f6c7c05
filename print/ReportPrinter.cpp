#include "ReportPrinter.h"

#include <QDir>
#include <QPageLayout>
#include <QPageRanges>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "ReportLayout.h"

#include <stdexcept>

namespace {

QSizeF PrintableSize(const QPrinter& printer) { return printer.pageRect(QPrinter::DevicePixel).size(); }

} // namespace

void PreparePrinter(QPrinter& printer, const QString& documentName)
{
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                                      QPageLayout::Millimeter));
    printer.setDocName(documentName);
    printer.setCreator(QStringLiteral("Morvask-Betrachter"));
}

QString PrintReport(TReport report, QPrinter& printer)
{
    TReportLayout layout(std::move(report), &printer, PrintableSize(printer));
    const int count = layout.PageCount();
    const QPageRanges ranges = printer.pageRanges();
    std::vector<int> pages;
    for (int page = 1; page <= count; ++page) {
        if (ranges.isEmpty() || ranges.contains(page))
            pages.push_back(page - 1);
    }
    if (pages.empty())
        return QStringLiteral("Der gewählte Seitenbereich liegt außerhalb der %1 Seiten des Drucks.").arg(count);
    // A printer that cannot make copies itself gets the pages that often, in order.
    if (!printer.supportsMultipleCopies()) {
        const std::vector<int> once = pages;
        for (int copy = 1; copy < printer.copyCount(); ++copy)
            pages.insert(pages.end(), once.begin(), once.end());
    }

    const QString file = printer.outputFileName();
    const QString refused = file.isEmpty()
                                ? QStringLiteral("Der Drucker „%1“ hat den Druck nicht angenommen.").arg(printer.printerName())
                                : QStringLiteral("Die Datei „%1“ kann nicht geschrieben werden.").arg(QDir::toNativeSeparators(file));
    QPainter painter;
    if (!painter.begin(&printer))
        return refused;
    bool first = true;
    for (const int page : pages) {
        if (!first && !printer.newPage()) {
            painter.end();
            return refused;
        }
        first = false;
        layout.PaintPage(painter, page);
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        return refused;
    return QString();
}

bool SystemPrintDialog(QPrinter& printer, QWidget* parent)
{
#ifdef Q_OS_WIN
    // Windows prints only through an installed printer ("Microsoft Print to
    // PDF" is one); without any, the printer falls back to PDF and the
    // system's dialog does not open for it.
    if (printer.outputFormat() != QPrinter::NativeFormat)
        throw std::runtime_error("Es ist kein Drucker eingerichtet; ohne Drucker kann Windows nicht drucken");
#endif
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Drucken"));
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange |
                      QAbstractPrintDialog::PrintShowPageSize | QAbstractPrintDialog::PrintCollateCopies);
    return dialog.exec() == QDialog::Accepted;
}

void SystemPrintPreview(QPrinter& printer, QWidget* parent, const std::function<void(QPrinter*)>& paint)
{
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Morvask-Betrachter  -  Druckvorschau"));
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&paint](QPrinter* target) { paint(target); });
    dialog.exec();
}
