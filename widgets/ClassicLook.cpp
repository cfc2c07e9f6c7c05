#include "ClassicLook.h"

#include "ClassicStyle.h"

#include <QApplication>
#include <QFont>
#include <QPalette>

namespace {

QPalette ClassicPalette()
{
    const QColor buttonFace(240, 240, 240);
    const QColor window(255, 255, 255);
    const QColor windowText(0, 0, 0);
    const QColor grayText(109, 109, 109);

    QPalette palette;
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Window, buttonFace);
        palette.setColor(group, QPalette::WindowText, windowText);
        palette.setColor(group, QPalette::Base, window);
        palette.setColor(group, QPalette::AlternateBase, buttonFace);
        palette.setColor(group, QPalette::Text, windowText);
        palette.setColor(group, QPalette::Button, buttonFace);
        palette.setColor(group, QPalette::ButtonText, windowText);
        palette.setColor(group, QPalette::BrightText, QColor(255, 255, 255));
        palette.setColor(group, QPalette::Light, QColor(255, 255, 255));
        palette.setColor(group, QPalette::Midlight, QColor(227, 227, 227));
        palette.setColor(group, QPalette::Mid, QColor(160, 160, 160));
        palette.setColor(group, QPalette::Dark, QColor(160, 160, 160));
        palette.setColor(group, QPalette::Shadow, QColor(105, 105, 105));
        // The classic desktop keeps the selection colour when a control loses the focus.
        palette.setColor(group, QPalette::Highlight, QColor(0, 120, 215));
        palette.setColor(group, QPalette::HighlightedText, QColor(255, 255, 255));
        palette.setColor(group, QPalette::ToolTipBase, QColor(255, 255, 225));
        palette.setColor(group, QPalette::ToolTipText, windowText);
        palette.setColor(group, QPalette::Link, QColor(0, 102, 204));
        palette.setColor(group, QPalette::LinkVisited, QColor(0, 102, 204));
        palette.setColor(group, QPalette::PlaceholderText, grayText);
    }
    palette.setColor(QPalette::Disabled, QPalette::WindowText, grayText);
    palette.setColor(QPalette::Disabled, QPalette::Text, grayText);
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, grayText);
    palette.setColor(QPalette::Disabled, QPalette::Highlight, QColor(204, 204, 204));
    return palette;
}

} // namespace

void ApplyClassicLook(QApplication& application)
{
    // The layouts name the classic dialog font; a free sans serif of close metrics stands in.
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Arial"));

    application.setStyle(new TClassicStyle);
    application.setPalette(ClassicPalette());

    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    application.setFont(font);
}
