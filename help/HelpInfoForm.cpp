#include "HelpInfoForm.h"

#include "BitBtn.h"
#include "HelpDocument.h"
#include "RtfView.h"

#include <QKeyEvent>
#include <QScrollArea>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// The window's outer size, frame included, and where it opens.
constexpr QPoint WindowPosition(273, 103);
constexpr QSize OuterSize(545, 630);
// Until the window system tells the real frame, assume the classic resizable
// frame: 4-pixel borders and a 19-pixel title bar.
constexpr QMargins AssumedFrame(4, 23, 4, 4);
// The extent of the components; smaller windows scroll to reach them.
constexpr QSize ContentSize(535, 596);

void Place(QWidget* widget, const QString& name, int tag, const QRect& geometry)
{
    widget->setObjectName(name);
    widget->setProperty("tag", tag);
    widget->setGeometry(geometry);
}

} // namespace

TfrmInfoHelp::TfrmInfoHelp(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmInfoHelp"));
    setProperty("tag", 0);
    setWindowTitle(QStringLiteral("Hilfe und Informationen zum Programm"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
                   | Qt::WindowCloseButtonHint);
    setWindowModality(Qt::ApplicationModal);
    setSizeGripEnabled(false);
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);

    // Fixed positions on a page of fixed size; the scroll box brings up scroll
    // bars when the window is made smaller than the page.
    FScrollBox = new QScrollArea(this);
    FScrollBox->setFrameShape(QFrame::NoFrame);
    FScrollBox->setWidgetResizable(false);
    FScrollBox->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    FScrollBox->setBackgroundRole(QPalette::Button);
    FScrollBox->viewport()->setBackgroundRole(QPalette::Button);
    FScrollBox->setFocusPolicy(Qt::NoFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(FScrollBox);

    FPage = new QWidget;
    FPage->setFixedSize(ContentSize);
    FPage->setBackgroundRole(QPalette::Button);
    FPage->setAutoFillBackground(true);

    Shape1 = new QWidget(FPage);
    Place(Shape1, QStringLiteral("Shape1"), 0, QRect(2, 4, 13, 546));
    QPalette white = Shape1->palette();
    white.setColor(QPalette::Window, QColor(255, 255, 255));
    Shape1->setPalette(white);
    Shape1->setBackgroundRole(QPalette::Window); // not the page's button face
    Shape1->setAutoFillBackground(true);

    BitBtn1 = new TBitBtn(FPage);
    Place(BitBtn1, QStringLiteral("BitBtn1"), 0, QRect(400, 568, 129, 28));
    BitBtn1->setText(QStringLiteral("OK"));
    BitBtn1->SetGlyph(QStringLiteral("CheckMark"));
    BitBtn1->SetModalResult(ModalResultOK);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { done(BitBtn1->ModalResult()); });

    RichEdit = new TRtfView(FPage);
    Place(RichEdit, QStringLiteral("RichEdit"), 0, QRect(14, 4, 521, 545));
    RichEdit->setFrameShape(QFrame::NoFrame);

    FScrollBox->setWidget(FPage);
    setTabOrder(BitBtn1, RichEdit);
    BitBtn1->setFocus();

    move(WindowPosition);
    resize(OuterSize.shrunkBy(AssumedFrame));

    FormCreate();
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
    if (!FFrameFitted) {
        FFrameFitted = true;
        // The real frame is known only once the window system has framed the window.
        QTimer::singleShot(0, this, [this] { FitFrameToOuterSize(); });
    }
}

void TfrmInfoHelp::FitFrameToOuterSize()
{
    const QRect frame = frameGeometry();
    const QRect client = geometry();
    const QMargins margins(client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                           frame.bottom() - client.bottom());
    // Without a frame (no window manager) the client takes the whole outer size.
    if (margins != AssumedFrame && size() == OuterSize.shrunkBy(AssumedFrame))
        resize(OuterSize.shrunkBy(margins));
}
