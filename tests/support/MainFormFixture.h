#pragma once

#include <QTest>

#include <memory>

#include "ErrorDisplay.h"
#include "HelpInfoForm.h"
#include "Main.h"

// The main window as the window tests meet it: errors go to the test's sink
// (or nowhere) instead of a message box; without a path source the window
// opens nothing by itself; a help window when asked for. Stop, or the
// fixture's end, leaves the error display as it was.
class TMainFormFixture {
public:
    TMainFormFixture() = default;
    TMainFormFixture(const TMainFormFixture&) = delete;
    TMainFormFixture& operator=(const TMainFormFixture&) = delete;
    ~TMainFormFixture() { Stop(); }

    static TErrorSink Silent()
    {
        return [](const QString&, const QString&) {};
    }
    void Start(TErrorSink errors = Silent(), bool withHelp = false)
    {
        FForm = std::make_unique<TMainForm>();
        FForm->SetErrorSink(std::move(errors));
        if (withHelp) {
            FHelp = std::make_unique<TfrmInfoHelp>();
            FForm->SetHelpForm(FHelp.get());
        }
    }
    // Shows the window; false when it was not exposed.
    [[nodiscard]] bool Show()
    {
        FForm->show();
        return QTest::qWaitForWindowExposed(FForm.get());
    }
    void Stop()
    {
        FForm.reset();
        FHelp.reset();
    }

    TMainForm* operator->() const { return FForm.get(); }
    TMainForm& operator*() const { return *FForm; }
    TMainForm* get() const { return FForm.get(); }
    TfrmInfoHelp* Help() const { return FHelp.get(); }

private:
    std::unique_ptr<TMainForm> FForm;
    std::unique_ptr<TfrmInfoHelp> FHelp;
};
