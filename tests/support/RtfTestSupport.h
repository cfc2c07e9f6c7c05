#pragma once

// Reading RTF into a document and looking at the result, for the help tests.
#include <QString>
#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>

#include <memory>
#include <string_view>

#include "RtfReader.h"

inline std::unique_ptr<QTextDocument> ReadRtf(std::string_view rtf)
{
    auto document = std::make_unique<QTextDocument>();
    TRtfReader::Load(*document, rtf);
    return document;
}

// The raw characters of every block (no-break spaces, soft hyphens and line
// separators as they are), one entry per block.
inline QStringList BlockTexts(const QTextDocument& document)
{
    QStringList texts;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        texts.append(block.text());
    return texts;
}

inline QString RawText(std::string_view rtf)
{
    return BlockTexts(*ReadRtf(rtf)).join(QLatin1Char('\n'));
}

// The text as people read it: soft hyphens vanish, line separators break.
inline QString ReadableText(const QTextDocument& document)
{
    QString text = BlockTexts(document).join(QLatin1Char('\n'));
    text.remove(QChar(0x00AD));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}
