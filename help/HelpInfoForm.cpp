#include "HelpInfoForm.h"

#include "ui_HelpInfoForm.h"

#include "BitBtn.h"
#include "HelpDocument.h"
#include "RtfView.h"
#include "WindowFrame.h"

#include <QHideEvent>
#include <QKeyEvent>
#include <QShowEvent>
#include <QWindow>

TfrmInfoHelp::TfrmInfoHelp(QWidget* parent)
    : QDialog(parent),
      ui(new Ui::TfrmInfoHelp)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setWindowModality(Qt::ApplicationModal);
    // The page and the scroll box around it show the button face, like the window.
    setBackgroundRole(QPalette::Button);
    ui->FScrollBox->setBackgroundRole(QPalette::Button);
    ui->FScrollBox->viewport()->setBackgroundRole(QPalette::Button);
    ui->FPage->setBackgroundRole(QPalette::Button);
    ui->Shape1->setBackgroundRole(QPalette::Window); // not the page's button face

    BitBtn1 = ui->BitBtn1;
    RichEdit = ui->RichEdit;
    connect(BitBtn1, &QPushButton::clicked, this, [this] { done(BitBtn1->ModalResult()); });
    BitBtn1->setFocus();

    // Until the frame is known the client takes the whole outer size.
    setGeometry(FOuterGeometry);
    WatchFrameChanges(*this, [this] { FitToFrame(); });

    FormCreate();
}

TfrmInfoHelp::~TfrmInfoHelp()
{
    delete ui;
}

void TfrmInfoHelp::FormCreate()
{
    RichEdit->Clear();
    RichEdit->SelectAll();
    RichEdit->ReplaceSelection(std::string_view(HelpDocument, HelpDocumentSize));
}

int TfrmInfoHelp::ShowModal()
{
    return exec();
}

void TfrmInfoHelp::reject()
{
    done(ModalResultCancel);
}

void TfrmInfoHelp::keyPressEvent(QKeyEvent* event)
{
    // "OK" is also the cancel button: Escape presses it.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && BitBtn1->isEnabled()) {
        BitBtn1->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfrmInfoHelp::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // A window manager frames the window anew on every showing.
    FFittedFrame.reset();
    FitToFrame();
}

void TfrmInfoHelp::moveEvent(QMoveEvent* event)
{
    QDialog::moveEvent(event);
    FitToFrame();
}

void TfrmInfoHelp::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    FitToFrame();
}

void TfrmInfoHelp::hideEvent(QHideEvent* event)
{
    // The next showing opens where the user left the window.
    if (FFittedFrame)
        FOuterGeometry = geometry().marginsAdded(*FFittedFrame);
    QDialog::hideEvent(event);
}

void TfrmInfoHelp::FitToFrame()
{
    if (!isVisible() || (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)))
        return;
    const QMargins frame = WindowFrameMargins(*this);
    if (FFittedFrame == frame)
        return;
    // Where the window stands is taken only here and on closing: a window
    // manager that reframes the window moves it on its own before it tells
    // the new frame, and such a move is not the user's choice.
    if (FFittedFrame)
        FOuterGeometry.setSize(geometry().marginsAdded(*FFittedFrame).size());
    FFittedFrame = frame;
    setGeometry(FOuterGeometry.marginsRemoved(frame));
}
