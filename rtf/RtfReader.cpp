#include "RtfReader.h"

#include "AsciiText.h"
#include "Cp1252.h"
#include "RtfFormatting.h"

#include <QFont>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QTextOption>

#include <algorithm>

namespace {

constexpr long long MaxParam = 1000000000;

bool IsLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

// Unpaired surrogates (from \u escapes cut in half) become the replacement
// character, so the layout never sees broken UTF-16.
QString Sanitized(const QString& text)
{
    QString out = text;
    for (qsizetype i = 0; i < out.size(); ++i) {
        const QChar c = out.at(i);
        if (c.isHighSurrogate() && i + 1 < out.size() && out.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            out[i] = QChar::ReplacementCharacter;
    }
    return out;
}

} // namespace

TRtfReader::TRtfReader(QTextCursor& cursor)
    : FCursor(cursor)
{
}

void TRtfReader::Insert(QTextCursor& cursor, std::string_view rtf)
{
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    TRtfReader reader(cursor);
    reader.Read(rtf);
    cursor.endEditBlock();
}

void TRtfReader::Load(QTextDocument& document, std::string_view rtf)
{
    document.clear();
    QTextCursor cursor(&document);
    Insert(cursor, rtf);
}

void TRtfReader::Read(std::string_view rtf)
{
    FText = rtf;
    FPos = 0;
    FStack.clear();
    FStack.reserve(64);
    FStack.emplace_back();
    while (FPos < FText.size() && !FDone) {
        const unsigned char c = static_cast<unsigned char>(FText[FPos++]);
        switch (c) {
        case '{':
            OpenGroup();
            break;
        case '}':
            CloseGroup();
            break;
        case '\\':
            ReadControl();
            break;
        case '\r':
        case '\n':
        case '\0':
            break;
        case '\t':
            if (!SkipFallback())
                AddChar(u'\t');
            break;
        default:
            if (!SkipFallback())
                TextByte(c);
            break;
        }
    }
    FinishDocument();
}

void TRtfReader::OpenGroup()
{
    FIgnorableNext = false;
    FFallbackToSkip = 0;
    if (static_cast<int>(FStack.size()) > MaxGroupDepth) {
        ++FOverflowDepth;
        return;
    }
    FStack.push_back(Top());
    Top().Role = TGroupRole::None;
}

void TRtfReader::CloseGroup()
{
    FIgnorableNext = false;
    FFallbackToSkip = 0;
    if (FOverflowDepth > 0) {
        --FOverflowDepth;
        return;
    }
    if (FStack.size() <= 1)
        return; // a stray closing brace before any group
    // The document group ends: its last paragraph takes the properties in force.
    if (FStack.size() == 2 && Top().Dest == TDestination::Text)
        FinishDocument();
    const TGroupState closed = std::move(FStack.back());
    FStack.pop_back();

    if (closed.Dest == TDestination::FontTable)
        FFonts.EndEntry();
    switch (closed.Role) {
    case TGroupRole::List:
        FLists.EndList();
        break;
    case TGroupRole::ListLevel:
        FLists.EndLevel();
        break;
    case TGroupRole::ListOverride:
        FLists.EndOverride();
        break;
    case TGroupRole::None:
        break;
    }
    // The document group has ended; what follows is not part of it.
    if (FStack.size() == 1)
        FDone = true;
}

bool TRtfReader::SkipFallback()
{
    if (FFallbackToSkip <= 0)
        return false;
    --FFallbackToSkip;
    return true;
}

void TRtfReader::ReadControl()
{
    if (FPos >= FText.size())
        return;
    const unsigned char first = static_cast<unsigned char>(FText[FPos]);
    if (!IsLetter(first)) {
        ++FPos;
        ControlSymbol(first);
        return;
    }
    const std::size_t start = FPos;
    while (FPos < FText.size() && IsLetter(static_cast<unsigned char>(FText[FPos])))
        ++FPos;
    const std::string_view word = FText.substr(start, FPos - start);

    bool hasParam = false;
    bool negative = false;
    long long value = 0;
    if (FPos + 1 < FText.size() && FText[FPos] == '-' && IsDigit(static_cast<unsigned char>(FText[FPos + 1]))) {
        negative = true;
        ++FPos;
    }
    while (FPos < FText.size() && IsDigit(static_cast<unsigned char>(FText[FPos]))) {
        hasParam = true;
        if (value <= MaxParam)
            value = value * 10 + (FText[FPos] - '0');
        ++FPos;
    }
    value = std::min(value, MaxParam);
    if (FPos < FText.size() && FText[FPos] == ' ')
        ++FPos;
    ControlWord(word, hasParam, static_cast<int>(negative ? -value : value));
}

void TRtfReader::ControlWord(std::string_view word, bool hasParam, int param)
{
    const TRtfWord kind = word.size() > 32 ? TRtfWord::Unknown : RtfControlWord(word);
    const bool ignorable = FIgnorableNext;
    FIgnorableNext = false;

    if (kind == TRtfWord::Binary) {
        // Binary data is skipped wherever it stands, also inside skipped groups.
        const std::size_t length = static_cast<std::size_t>(std::max(param, 0));
        FPos += std::min(length, FText.size() - FPos);
        return;
    }
    TGroupState& top = Top();
    if (top.Dest == TDestination::Skip)
        return;
    if (ignorable && kind != TRtfWord::ListTable && kind != TRtfWord::ListOverrideTable) {
        top.Dest = TDestination::Skip;
        return;
    }
    if (SkipFallback())
        return;

    if (DestinationWord(kind) || TableWord(kind, hasParam, param) || CharacterWord(kind, hasParam, param))
        return;
    if (!ApplyCharWord(top.Char, kind, hasParam, param))
        ApplyParaWord(top.Para, kind, hasParam, param);
}

// Words that open a destination or a list entry.
bool TRtfReader::DestinationWord(TRtfWord word)
{
    TGroupState& top = Top();
    switch (word) {
    case TRtfWord::SkippedDestination:
        top.Dest = TDestination::Skip;
        break;
    case TRtfWord::FontTable:
        top.Dest = TDestination::FontTable;
        break;
    case TRtfWord::ColorTable:
        top.Dest = TDestination::ColorTable;
        break;
    case TRtfWord::ListTable:
        top.Dest = TDestination::ListTable;
        break;
    case TRtfWord::ListOverrideTable:
        top.Dest = TDestination::ListOverrideTable;
        break;
    case TRtfWord::List:
        if (top.Dest == TDestination::ListTable) {
            FLists.BeginList();
            top.Role = TGroupRole::List;
        }
        break;
    case TRtfWord::ListLevel:
        if (top.Dest == TDestination::ListTable) {
            FLists.BeginLevel();
            top.Role = TGroupRole::ListLevel;
        }
        break;
    case TRtfWord::LevelText:
        top.Dest = FLists.InFirstLevel() ? TDestination::LevelText : TDestination::Skip;
        break;
    case TRtfWord::ListOverride:
        if (top.Dest == TDestination::ListOverrideTable)
            top.Role = TGroupRole::ListOverride;
        break;
    case TRtfWord::ListText:
        top.Dest = TDestination::ListText;
        FListText.clear();
        break;
    case TRtfWord::PnText:
        top.Dest = TDestination::PnText;
        FPnText.clear();
        break;
    default:
        return false;
    }
    return true;
}

// Words that fill the header tables, or mean something else inside them.
bool TRtfReader::TableWord(TRtfWord word, bool hasParam, int param)
{
    TGroupState& top = Top();
    switch (word) {
    case TRtfWord::DefaultFont:
        FFonts.SetDefault(param);
        break;
    case TRtfWord::Font:
        if (top.Dest == TDestination::FontTable) {
            FFonts.BeginEntry(param);
        } else if (top.Dest == TDestination::ListTable) {
            if (FLists.InFirstLevel())
                FLists.SetLevelFont(param);
        } else {
            top.Char.Font = param;
        }
        break;
    case TRtfWord::FontCharset:
        if (top.Dest == TDestination::FontTable)
            FFonts.SetCharset(param);
        break;
    case TRtfWord::Red:
        FColors.SetRed(param);
        break;
    case TRtfWord::Green:
        FColors.SetGreen(param);
        break;
    case TRtfWord::Blue:
        FColors.SetBlue(param);
        break;
    case TRtfWord::ListId:
        if (top.Dest == TDestination::ListOverrideTable)
            FLists.SetOverrideListId(param);
        else if (top.Dest == TDestination::ListTable)
            FLists.SetListId(param);
        break;
    case TRtfWord::LeftIndent:
    case TRtfWord::FirstIndent:
        if (top.Dest != TDestination::ListTable)
            ApplyParaWord(top.Para, word, hasParam, param);
        else if (FLists.InFirstLevel() && word == TRtfWord::LeftIndent)
            FLists.SetLevelLeftIndent(RtfTwips(param));
        else if (FLists.InFirstLevel())
            FLists.SetLevelFirstIndent(RtfTwips(param));
        break;
    case TRtfWord::ListOverrideNumber:
        if (top.Dest == TDestination::ListOverrideTable)
            FLists.SetOverrideNumber(param);
        else
            top.Para.ListOverride = param;
        break;
    default:
        return false;
    }
    return true;
}

// Words that stand for text or end a paragraph.
bool TRtfReader::CharacterWord(TRtfWord word, bool hasParam, int param)
{
    TGroupState& top = Top();
    switch (word) {
    case TRtfWord::UnicodeSkip:
        top.UnicodeSkip = std::clamp(param, 0, 16);
        break;
    case TRtfWord::Unicode: {
        if (!hasParam)
            break;
        const int code = param < 0 ? param + 65536 : param;
        const char16_t ch = static_cast<char16_t>(std::clamp(code, 0, 0xFFFF));
        if (ch >= 0xF020 && ch <= 0xF0FF)
            AddChar(ch, true, static_cast<unsigned char>(ch - 0xF000));
        else
            AddChar(ch);
        FFallbackToSkip = top.UnicodeSkip;
        break;
    }

    case TRtfWord::Par:
    case TRtfWord::Page:
    case TRtfWord::Row:
        if (top.Dest == TDestination::Text)
            EndParagraph();
        break;
    case TRtfWord::Line:
        AddChar(QChar::LineSeparator);
        break;
    case TRtfWord::Tab:
    case TRtfWord::Cell:
        AddChar(u'\t');
        break;
    case TRtfWord::Bullet:
    case TRtfWord::EmDash:
    case TRtfWord::EnDash:
    case TRtfWord::LeftQuote:
    case TRtfWord::RightQuote:
    case TRtfWord::LeftDoubleQuote:
    case TRtfWord::RightDoubleQuote:
    case TRtfWord::EmSpace:
    case TRtfWord::EnSpace:
    case TRtfWord::QuarterEmSpace:
        AddChar(RtfWordCharacter(word));
        break;
    default:
        return false;
    }
    return true;
}

void TRtfReader::ControlSymbol(unsigned char symbol)
{
    FIgnorableNext = symbol == '*';
    switch (symbol) {
    case '*':
        break;
    case '\'': {
        int value = 0;
        int digits = 0;
        while (digits < 2 && FPos < FText.size()) {
            const int hex = AsciiText::HexDigit(FText[FPos]);
            if (hex < 0)
                break;
            value = value * 16 + hex;
            ++digits;
            ++FPos;
        }
        // A cut-off escape stands for nothing.
        if (digits == 2 && !SkipFallback())
            TextByte(static_cast<unsigned char>(value));
        break;
    }
    case '\\':
    case '{':
    case '}':
        if (!SkipFallback())
            AddChar(symbol);
        break;
    case '~':
        if (!SkipFallback())
            AddChar(u'\u00A0');
        break;
    case '-':
        if (!SkipFallback())
            AddChar(u'\u00AD');
        break;
    case '_':
        if (!SkipFallback())
            AddChar(u'\u2011');
        break;
    case '\r':
    case '\n':
        if (Top().Dest == TDestination::Text && !SkipFallback())
            EndParagraph();
        break;
    default:
        break;
    }
}

void TRtfReader::TextByte(unsigned char byte)
{
    AddChar(Cp1252ToUnicode(byte), true, byte);
}

// fromSymbolFont: the character may be a code of a symbol font (a byte of the
// text, or a \u escape in the private area where such codes are placed).
void TRtfReader::AddChar(char16_t ch, bool fromSymbolFont, unsigned char symbolCode)
{
    TGroupState& top = Top();
    switch (top.Dest) {
    case TDestination::Skip:
    case TDestination::ListTable:
    case TDestination::ListOverrideTable:
        return;
    case TDestination::FontTable:
        FFonts.AddChar(QChar(ch));
        return;
    case TDestination::ColorTable:
        FColors.AddChar(QChar(ch));
        return;
    case TDestination::LevelText:
        FLists.AddLevelTextChar(QChar(ch));
        return;
    case TDestination::Text:
    case TDestination::ListText:
    case TDestination::PnText:
        break;
    }
    if (top.Char.Hidden)
        return;
    if (ch < 0x20 && ch != u'\t')
        return; // control characters have no place in the text
    if (ch == QChar::ParagraphSeparator)
        ch = QChar::LineSeparator; // paragraphs come from \par only

    bool mapped = false;
    if (fromSymbolFont) {
        if (const TRtfFontTable::TFont* font = FFonts.FontOf(top.Char.Font); font != nullptr && font->Symbol != TSymbolFont::None) {
            if (const char16_t unicode = SymbolToUnicode(font->Symbol, symbolCode); unicode != 0) {
                ch = unicode;
                mapped = true;
            } else {
                ch = Cp1252ToUnicode(symbolCode);
            }
        }
    }
    std::vector<TRun>& runs = top.Dest == TDestination::ListText ? FListText
                              : top.Dest == TDestination::PnText ? FPnText
                                                                 : FRuns;
    AddToRuns(runs, ch, mapped);
}

void TRtfReader::AddToRuns(std::vector<TRun>& runs, char16_t ch, bool symbolMapped)
{
    const TRtfCharState& state = Top().Char;
    if (runs.empty() || !(runs.back().Format == state) || runs.back().SymbolMapped != symbolMapped)
        runs.push_back(TRun{QString(), state, symbolMapped});
    runs.back().Text.append(QChar(ch));
}

QTextCharFormat TRtfReader::CharFormat(const TRtfCharState& state, bool symbolMapped) const
{
    QTextCharFormat format;
    const TRtfFontTable::TFont* font = FFonts.FontOf(symbolMapped ? -1 : state.Font);
    if (font != nullptr && (font->Symbol == TSymbolFont::None || !symbolMapped))
        format.setFontFamilies(QStringList{font->Family});
    format.setFontPointSize(state.HalfPoints / 2.0);
    format.setFontWeight(state.Bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(state.Italic);
    format.setFontUnderline(state.Underline);
    format.setFontStrikeOut(state.Strike);
    if (state.Vertical != 0)
        format.setVerticalAlignment(state.Vertical > 0 ? QTextCharFormat::AlignSuperScript
                                                       : QTextCharFormat::AlignSubScript);
    if (const QColor color = FColors.At(state.Color); color.isValid())
        format.setForeground(color);
    return format;
}

bool TRtfReader::ListBullet(int listOverride, TRun& bullet) const
{
    const TRtfListTable::TList* list = FLists.ListOf(listOverride);
    if (list == nullptr)
        return false;
    // The level text starts with its length; a bullet level holds one
    // character and no level-number placeholder.
    const QString& text = list->LevelText;
    if (text.size() < 2 || text.at(0).unicode() != 1 || text.at(1).unicode() < 0x20)
        return false;
    char16_t ch = text.at(1).unicode();
    bool mapped = false;
    if (const TRtfFontTable::TFont* font = FFonts.Find(list->Font); font != nullptr && font->Symbol != TSymbolFont::None) {
        const unsigned char code = ch >= 0xF000 && ch <= 0xF0FF ? static_cast<unsigned char>(ch - 0xF000)
                                                                : static_cast<unsigned char>(ch);
        if (const char16_t unicode = SymbolToUnicode(font->Symbol, code); unicode != 0) {
            ch = unicode;
            mapped = true;
        }
    }
    bullet.Text = QString(QChar(ch)) + QLatin1Char('\t');
    bullet.Format.Font = list->Font;
    bullet.SymbolMapped = mapped;
    return true;
}

void TRtfReader::InsertRuns(const std::vector<TRun>& runs)
{
    for (const TRun& run : runs)
        if (!run.Text.isEmpty())
            FCursor.insertText(Sanitized(run.Text), CharFormat(run.Format, run.SymbolMapped));
}

void TRtfReader::EndParagraph()
{
    const TGroupState& top = Top();
    TRtfParaState para = top.Para;
    const QTextCharFormat mark = CharFormat(top.Char, false);

    TRun bullet;
    bullet.Format = FRuns.empty() ? top.Char : FRuns.front().Format;
    bullet.Format.Underline = false;
    const bool fromList = ListBullet(para.ListOverride, bullet);
    if (fromList && para.LeftIndent == 0 && para.FirstIndent == 0) {
        const TRtfListTable::TList* list = FLists.ListOf(para.ListOverride);
        para.LeftIndent = list->LeftIndent;
        para.FirstIndent = list->FirstIndent;
    }
    const QTextBlockFormat block = RtfBlockFormat(para);
    if (FFirstBlock) {
        FCursor.setBlockFormat(block);
        if (FCursor.atBlockStart())
            FCursor.setBlockCharFormat(mark);
        FFirstBlock = false;
    } else {
        FCursor.insertBlock(block, mark);
    }

    if (fromList)
        InsertRuns({bullet});
    else if (!FListText.empty())
        InsertRuns(FListText);
    else
        InsertRuns(FPnText);
    InsertRuns(FRuns);
    FRuns.clear();
    FListText.clear();
    FPnText.clear();
}

void TRtfReader::FinishDocument()
{
    if (!FRuns.empty())
        EndParagraph();
}
