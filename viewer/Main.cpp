#include "Main.h"

#include "ui_Main.h"

#include <QApplication>
#include <QEvent>
#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

// The dialog font of the layout: 8 points at 96 dots per inch, that is 11 pixels.
QFont DialogFont()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    return font;
}

} // namespace

TMainForm::TMainForm(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      ui(new Ui::TMainForm)
{
    // The font comes first so that every label that sizes itself to its text
    // measures in the dialog font; the layout only says bold or regular.
    setFont(DialogFont());
    ui->setupUi(this);
    setProperty("tag", 0);

    // A fixed dialog frame around a client area of 782 x 707 at (348, 136).
    setFixedSize(782, 707);
    move(348, 136);

    // The memo shows the check's messages in the dialog font, black on the window colour.
    ui->memErrorText->setFont(DialogFont());
    QPalette memoColours = ui->memErrorText->palette();
    memoColours.setColor(QPalette::Text, QColor(0, 0, 0));
    ui->memErrorText->setPalette(memoColours);

    // Key preview: the window sees every key before the focused component.
    qApp->installEventFilter(this);

    connect(ui->sgObjectList, &TStringGrid::Click, this, &TMainForm::sgObjectListClick);
    connect(ui->bbtnClose, &QPushButton::clicked, this, &TMainForm::bbtnCloseClick);
    connect(ui->bbtnHelpInfo, &QPushButton::clicked, this, &TMainForm::bbtnHelpInfoClick);

    ui->sgObjectList->setFocus(Qt::OtherFocusReason);
    FormCreate();
    SetUpWorkingAids();
}

TMainForm::~TMainForm()
{
    qApp->removeEventFilter(this);
    FormDestroy();
    delete ui;
}

void TMainForm::FormCreate()
{
    setWindowTitle(QStringLiteral("Morvask-Betrachter"));
    SetHintDisplayTime();
    WriteObjectListHeader();
    WriteSamplesHeader();
}

void TMainForm::SetUpWorkingAids()
{
    SetUpClipboard();
    SetUpFind();
    SetUpDrop();
    SetUpAccessibility();
    SetUpPrinting();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    // A key press reaches the filter once for the focused widget and again for
    // each parent it propagates to; the window looks at it on its first stop only.
    auto* receiver = qobject_cast<QWidget*>(watched);
    if (receiver == nullptr || receiver->window() != this)
        return QWidget::eventFilter(watched, event);
    QWidget* focused = QApplication::focusWidget();
    const bool focusInWindow = focused != nullptr && focused->window() == this;
    if (focusInWindow ? receiver != focused : receiver != this)
        return QWidget::eventFilter(watched, event);

    auto* key = static_cast<QKeyEvent*>(event);
    if (FormKeyDown(key))
        return true;

    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    const bool escape = key->key() == Qt::Key_Escape;
    if ((!enter && !escape) || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return QWidget::eventFilter(watched, event);
    // The error text box takes both keys itself.
    if (focused == ui->memErrorText || (focused != nullptr && ui->memErrorText->isAncestorOf(focused)))
        return QWidget::eventFilter(watched, event);
    // Enter on another focused button presses that button, as on the classic desktop.
    if (auto* button = qobject_cast<QPushButton*>(focused); enter && button != nullptr && button != ui->bbtnClose) {
        if (button->isEnabled())
            button->animateClick();
        return true;
    }
    if (ui->bbtnClose->isEnabled() && ui->bbtnClose->isVisible())
        ui->bbtnClose->animateClick();
    return true;
}
