#include "Main.h"
#include "ui_Main.h"

#include <QCloseEvent>
#include <QShowEvent>

#include <new>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#include "CheckPath.h"
#include "DisplayText.h"
#include "ErrorDisplay.h"
#include "LoadBesideCheck.h"
#include "uDataFileParser.h"

namespace {

const QString KOpenedTitle = QStringLiteral("Morvask-Betrachter 1.0  -  '%1'");

struct TInterfaceText {
    const char* Line1;
    const char* Line2;
};

// Indexed by GetInterfaceKind(): 0 not conforming, 1 and 2 the interfaces.
const TInterfaceText KInterfaceTexts[] = {
    {"ist mit dieser Datei schnittstellenkonform NICHT möglich !!!",
     "Der Dateiname entspricht NICHT der Schnittstellenkonvention !!!"},
    {"vom Wasserversorgungsunternehmen zum Gesundheitsamt", "nach Schnittstelle 1"},
    {"vom Gesundheitsamt zum Landesgesundheitsamt", "nach Schnittstelle 2"},
};

} // namespace

// The open runs once, right after the window is first shown: it must not
// wait for an activation that a bare X server or a desktop with focus
// stealing prevention never delivers.
void TMainForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    Guarded([this] {
        if (FActivated)
            return;
        FActivated = true;
        QMetaObject::invokeMethod(
            this, [this] { Guarded([this] { FormActivate(); }, FErrorSink); }, Qt::QueuedConnection);
    },
            FErrorSink);
}

void TMainForm::FormActivate()
{
    if (!FPathSource)
        return;
    const std::optional<std::string> path = FPathSource(this);
    if (!path) {
        close();
        return;
    }
    OpenTransferFile(*path);
}

void TMainForm::OpenTransferFile(const QString& path)
{
    OpenTransferFile(CheckPathBytes(path));
}

void TMainForm::OpenTransferFile(const std::string& path)
{
    TSamplingData result;
    // With nothing loaded, as when the program opens its one file, the load
    // runs beside the check. With a file loaded it waits for the check, so
    // that the old file is let go before the new one is read and two are
    // never held at once.
    std::optional<TLoadBesideCheck> early;
    if (FInvestigations.Count() == 0) {
        try {
            early.emplace(path, FInvestigations.KeyEntries());
        } catch (const std::system_error&) {
            // No thread to be had: the load follows the check.
        } catch (const std::bad_alloc&) {
        }
    }
    // Failing to open throws before anything on screen has changed.
    if (early)
        early->Check(result);
    else
        CheckTransferFile(path, result);

    const int32_t kind = GetInterfaceKind();
    const TInterfaceText& text = KInterfaceTexts[kind >= 0 && kind <= 2 ? kind : 0];
    ui->lblSchnittstelle1->setText(Utf8ToQString(text.Line1));
    ui->lblSchnittstelle2->setText(Utf8ToQString(text.Line2));

    FCheckedPath = path;
    FFindings.clear();
    if (result.MessageCount == 0) {
        FFileName = path;
        ui->pnlErrorText->hide();
        setWindowTitle(KOpenedTitle.arg(CheckPathText(FFileName)));
        if (early) {
            // As LoadInvestigations does, from the load already under way.
            FCurrentIndex = 0;
            FInvestigations = early->Take();
            ListInvestigations();
        } else {
            LoadInvestigations(FFileName);
        }
        ShowInvestigation();
    } else {
        early.reset(); // stops the load; its memory is free before the messages are shown
        setWindowTitle(KOpenedTitle.arg(CheckPathText(path)));
        FFileName.clear();
        // CR LF becomes LF in one pass: QString::replace moves the rest of the
        // text at every match, which takes seconds for a million messages.
        const std::string& all = result.MessageText;
        std::string lines;
        lines.reserve(all.size());
        for (std::size_t i = 0; i < all.size(); ++i) {
            if (all[i] != '\r' || i + 1 >= all.size() || all[i + 1] != '\n')
                lines += all[i];
        }
        ui->memErrorText->setPlainText(Cp1252ToQString(lines));
        FFindings = std::move(lines);
        ui->pnlErrorText->raise();
        ui->pnlErrorText->show();
    }
}

void TMainForm::FormDestroy()
{
    ClearInvestigations();
}

void TMainForm::bbtnCloseClick()
{
    Guarded([this] { close(); }, FErrorSink);
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    // The main window's close ends the event loop and so the program.
    Guarded([event] { event->accept(); }, FErrorSink);
}
