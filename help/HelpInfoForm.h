#pragma once

#include <QDialog>

class QScrollArea;
class QShowEvent;
class QKeyEvent;
class TBitBtn;
class TRtfView;

// The help and information window: the built-in guide and terms of use on a
// white page, with "OK" to close. Created once, hidden, and shown modally on
// request; closing only hides it, so position, size, scroll position and focus
// survive until the next showing.
class TfrmInfoHelp : public QDialog {
    Q_OBJECT

public:
    static constexpr int ModalResultOK = 1;
    static constexpr int ModalResultCancel = 2;

    explicit TfrmInfoHelp(QWidget* parent = nullptr);

    // Shows the window modally and returns how it was closed.
    int ShowModal();

    TRtfView* RichEditView() const { return RichEdit; }

public slots:
    // The close box and the system menu close without a button's result.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormCreate();
    void FitFrameToOuterSize();

    QScrollArea* FScrollBox = nullptr;
    QWidget* FPage = nullptr;
    QWidget* Shape1 = nullptr;
    TBitBtn* BitBtn1 = nullptr;
    TRtfView* RichEdit = nullptr;
    bool FFrameFitted = false;
};
