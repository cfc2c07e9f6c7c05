#pragma once

#include <QString>
#include <QWidget>

#include <cstdint>
#include <string>
#include <utility>

#include "InvestigationList.h"
#include "PathSource.h"

namespace Ui {
class TMainForm;
}
class TfrmInfoHelp;
class QCloseEvent;
class QKeyEvent;
class QShowEvent;

// The viewer's one main window. The layout lives in Main.ui; the behaviour is
// spread over source files by concern:
//   Main.cpp               creation, layout set-up, key preview, FormCreate
//   MainInvestigations.cpp loading, the detail display, the field hints
//   MainOpen.cpp           activation, opening a file, closing
//   MainHelp.cpp           the help button and F1
class TMainForm : public QWidget {
    Q_OBJECT

public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // The help window that the help button and F1 show; owned by the caller.
    void SetHelpForm(TfrmInfoHelp* helpForm) { FHelpForm = helpForm; }

    // Where the file comes from; asked once, at the first activation. Without
    // a source the window opens nothing by itself.
    void SetPathSource(TPathSource source) { FPathSource = std::move(source); }

    // Opening a file (MainOpen.cpp). The path is in the file system's bytes;
    // the text form is for callers that hold a shown name.
    void OpenTransferFile(const std::string& path);
    void OpenTransferFile(const QString& path);

    // Loaded examinations and their display (MainInvestigations.cpp).
    void LoadInvestigations(const std::string& path);
    void ClearInvestigations();
    void ShowInvestigation();
    void UpdateFieldHints();

    const std::string& FileName() const { return FFileName; }
    int32_t InvestigationCount() const { return FInvestigationCount; }
    int32_t CurrentIndex() const { return FCurrentIndex; }
    const TInvestigationList& Investigations() const { return FInvestigations; }

public slots:
    void FormActivate();
    void sgObjectListClick();
    void bbtnCloseClick();
    void bbtnHelpInfoClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void FormDestroy();
    // Key preview: returns true when the key was consumed.
    bool FormKeyDown(QKeyEvent* event);

    // The steps of FormCreate that belong to other concerns.
    void SetHintDisplayTime();
    void WriteObjectListHeader();
    void WriteSamplesHeader();

    Ui::TMainForm* ui;
    TfrmInfoHelp* FHelpForm = nullptr;
    TPathSource FPathSource;

    std::string FFileName;
    int32_t FInvestigationCount = 0;
    int32_t FCurrentIndex = 0;
    TInvestigationList FInvestigations;
    bool FActivated = false;
};
