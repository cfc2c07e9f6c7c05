#pragma once

#include <QTextEdit>

#include <string_view>

// A read-only rich text view that takes RTF: text wraps at the view's width and
// only a vertical scroll bar is offered. Its operations mirror those of the
// Windows control it stands in for, so loading reads like the original steps.
class TRtfView : public QTextEdit {
    Q_OBJECT

public:
    explicit TRtfView(QWidget* parent = nullptr);

    void Clear();
    void SelectAll();
    // Replaces the selection with text, a zero-terminated 8-bit string: read as
    // RTF when it begins with the RTF header, else inserted as Windows-1252 text.
    void ReplaceSelection(std::string_view text);

protected:
    void showEvent(QShowEvent* event) override;
};
