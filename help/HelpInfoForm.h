#pragma once

#include <QDialog>

#include <optional>

class QShowEvent;
class QHideEvent;
class QMoveEvent;
class QResizeEvent;
class QKeyEvent;
class TBitBtn;
class TRtfView;

namespace Ui {
class TfrmInfoHelp;
}

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
    ~TfrmInfoHelp() override;

    // Shows the window modally and returns how it was closed.
    int ShowModal();

    TRtfView* RichEditView() const { return RichEdit; }

public slots:
    // The close box and the system menu close without a button's result.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormCreate();
    // Places the window so that its frame covers FOuterGeometry once the frame
    // is known and again whenever it changes.
    void FitToFrame();

    Ui::TfrmInfoHelp* ui;
    TBitBtn* BitBtn1 = nullptr;
    TRtfView* RichEdit = nullptr;
    // Where the window stands, frame included: it opens at (273, 103) with an
    // outer size of 545 x 630 and then where the user left it.
    QRect FOuterGeometry{273, 103, 545, 630};
    std::optional<QMargins> FFittedFrame;
};
