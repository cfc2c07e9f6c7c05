#pragma once

#include <QString>

#include <functional>

#include "Report.h"

class QPrinter;
class QWidget;

// The way from a report to paper, through Qt's print support.

// A4 upright with margins of 15 mm, named as the print queue shows it; set
// before the dialog, which may change any of it for this one print.
void PreparePrinter(QPrinter& printer, const QString& documentName);

// Lays the report out for the printer's page and sends the pages its range
// names (every page when it names none). An empty text when it was sent,
// otherwise why not, in German.
QString PrintReport(TReport report, QPrinter& printer);

// Asks where and how to print: the system's print dialog, with a page range
// and printing into a file. True when the user confirmed. Throws when the
// system has no printer to offer.
using TPrintDialog = std::function<bool(QPrinter& printer, QWidget* parent)>;
bool SystemPrintDialog(QPrinter& printer, QWidget* parent);

// Shows the pages until the user closes the preview, from which he may print;
// paint draws the report onto the printer it is given (PrintReport).
void SystemPrintPreview(QPrinter& printer, QWidget* parent, const std::function<void(QPrinter*)>& paint);
