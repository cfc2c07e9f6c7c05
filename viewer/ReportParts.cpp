#include "ReportParts.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include "CheckPath.h"
#include "ReportPrinter.h"

namespace {

// The pointer shows the program at work while a long report is laid out.
class TBusyCursor {
public:
    TBusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TBusyCursor() { QApplication::restoreOverrideCursor(); }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;
};

} // namespace

const QString KReportProgramName = QStringLiteral("Morvask-Betrachter");

QStringList ReportFileHeading(const std::string& path)
{
    const QFileInfo file(CheckPathText(path));
    return {QStringLiteral("Datei: %1").arg(file.fileName()),
            QStringLiteral("Pfad: %1").arg(QDir::toNativeSeparators(file.absoluteFilePath()))};
}

QString ReportPrintedAt()
{
    return QStringLiteral("Gedruckt am %1 Uhr")
        .arg(QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy, HH:mm")));
}

QString ReportDocumentName(const std::string& path)
{
    return QStringLiteral("%1 - %2").arg(KReportProgramName, QFileInfo(CheckPathText(path)).fileName());
}

void SendReportToPrinter(const TReport& report, QPrinter& printer, const TErrorSink& sink)
{
    QString failure;
    {
        TBusyCursor busy;
        failure = PrintReport(report, printer);
    }
    if (!failure.isEmpty())
        ShowApplicationErrorText(failure, sink);
}
