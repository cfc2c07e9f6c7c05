#include "RtfView.h"

#include "Cp1252.h"
#include "RtfReader.h"

#include <QScrollBar>
#include <QShowEvent>
#include <QTextCursor>
#include <QTextDocument>

TRtfView::TRtfView(QWidget* parent)
    : QTextEdit(parent)
{
    setReadOnly(true);
    // Read-only still lets the user select, copy and page with the keyboard.
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setUndoRedoEnabled(false);
    setAcceptRichText(false);
    setFocusPolicy(Qt::StrongFocus);
    document()->setDocumentMargin(1);
}

void TRtfView::Clear()
{
    clear();
}

void TRtfView::SelectAll()
{
    selectAll();
}

void TRtfView::ReplaceSelection(std::string_view text)
{
    // The text ends at its first NUL, as a zero-terminated string does.
    if (const std::size_t end = text.find('\0'); end != std::string_view::npos)
        text = text.substr(0, end);
    QTextCursor cursor = textCursor();
    if (text.starts_with("{\\rtf")) {
        TRtfReader::Insert(cursor, text);
    } else {
        QString plain;
        plain.reserve(static_cast<qsizetype>(text.size()));
        for (const char byte : text) {
            const char16_t ch = Cp1252ToUnicode(static_cast<unsigned char>(byte));
            // Line ends of any kind become paragraph breaks; a CR LF pair counts once.
            if (ch == u'\n' && !plain.isEmpty() && plain.back() == QChar::ParagraphSeparator)
                continue;
            plain.append(ch == u'\r' || ch == u'\n' ? QChar(QChar::ParagraphSeparator) : QChar(ch));
        }
        cursor.insertText(plain);
    }
    // The view's own caret follows the replaced text to its end, as in the
    // control we stand in for; nothing scrolls.
}

void TRtfView::showEvent(QShowEvent* event)
{
    // Showing never scrolls: a freshly loaded document opens at its top although
    // the caret sits at its end, and a view shown again stays where it was.
    const int scroll = verticalScrollBar()->value();
    QTextEdit::showEvent(event);
    verticalScrollBar()->setValue(scroll);
}
