#pragma once

#include <QString>
#include <QStringList>

#include <string>

#include "ErrorDisplay.h"
#include "Report.h"

class QPrinter;

// What every report the viewer prints shares: the program's name, when it
// was printed, how a file is named on the page and in the print queue, and
// the way to the printer.

extern const QString KReportProgramName;

// "Datei: NAME", "Pfad: FOLDER/NAME"; the path in the file system's bytes.
QStringList ReportFileHeading(const std::string& path);
// "Gedruckt am 15.10.2026, 09:30 Uhr"
QString ReportPrintedAt();
// The name the print queue shows: "Morvask-Betrachter - NAME".
QString ReportDocumentName(const std::string& path);

// Prints under the busy pointer, or hands to sink why the printer did not take the pages.
void SendReportToPrinter(const TReport& report, QPrinter& printer, const TErrorSink& sink);
