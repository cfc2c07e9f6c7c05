#include "RtfReader.h"

#include "AsciiText.h"
#include "Cp1252.h"

#include <QFont>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QTextOption>

#include <algorithm>
#include <unordered_map>

namespace {

enum class TWord {
    Unknown,
    // destinations
    FontTable, ColorTable, ListTable, ListOverrideTable, List, ListLevel, LevelText, ListOverride,
    ListText, PnText, SkippedDestination,
    // header and tables
    DefaultFont, Font, FontCharset, Red, Green, Blue, ListId, UnicodeSkip, Unicode, Binary,
    // characters
    Par, Line, Tab, Page, Cell, Row, Bullet, EmDash, EnDash, LeftQuote, RightQuote, LeftDoubleQuote,
    RightDoubleQuote, EmSpace, EnSpace, QuarterEmSpace,
    // character formatting
    Plain, Bold, Italic, Underline, UnderlineNone, Strike, Hidden, FontSize, ForeColor, Super, Sub,
    NoSuperSub,
    // paragraph formatting
    Pard, AlignLeft, AlignJustify, AlignCenter, AlignRight, LeftIndent, RightIndent, FirstIndent,
    SpaceBefore, SpaceAfter, LineSpacing, LineMultiple, ListOverrideNumber, TabStop
};

TWord LookUp(std::string_view word)
{
    static const std::unordered_map<std::string_view, TWord> words = {
        {"fonttbl", TWord::FontTable}, {"colortbl", TWord::ColorTable}, {"listtable", TWord::ListTable},
        {"listoverridetable", TWord::ListOverrideTable}, {"list", TWord::List},
        {"listlevel", TWord::ListLevel}, {"leveltext", TWord::LevelText},
        {"listoverride", TWord::ListOverride}, {"listtext", TWord::ListText}, {"pntext", TWord::PnText},
        // Destinations whose content is never shown.
        {"info", TWord::SkippedDestination}, {"stylesheet", TWord::SkippedDestination},
        {"pict", TWord::SkippedDestination}, {"object", TWord::SkippedDestination},
        {"header", TWord::SkippedDestination}, {"headerl", TWord::SkippedDestination},
        {"headerr", TWord::SkippedDestination}, {"headerf", TWord::SkippedDestination},
        {"footer", TWord::SkippedDestination}, {"footerl", TWord::SkippedDestination},
        {"footerr", TWord::SkippedDestination}, {"footerf", TWord::SkippedDestination},
        {"footnote", TWord::SkippedDestination}, {"annotation", TWord::SkippedDestination},
        {"fldinst", TWord::SkippedDestination}, {"pn", TWord::SkippedDestination},
        {"xe", TWord::SkippedDestination}, {"tc", TWord::SkippedDestination},
        {"txe", TWord::SkippedDestination}, {"rxe", TWord::SkippedDestination},
        {"bkmkstart", TWord::SkippedDestination}, {"bkmkend", TWord::SkippedDestination},
        {"filetbl", TWord::SkippedDestination}, {"revtbl", TWord::SkippedDestination},
        {"rsidtbl", TWord::SkippedDestination}, {"listname", TWord::SkippedDestination},
        {"levelnumbers", TWord::SkippedDestination}, {"listpicture", TWord::SkippedDestination},
        {"pgdsctbl", TWord::SkippedDestination}, {"ftnsep", TWord::SkippedDestination},
        {"ftnsepc", TWord::SkippedDestination}, {"aftnsep", TWord::SkippedDestination},
        {"aftnsepc", TWord::SkippedDestination}, {"shp", TWord::SkippedDestination},
        {"nonshppict", TWord::SkippedDestination}, {"template", TWord::SkippedDestination},
        {"themedata", TWord::SkippedDestination}, {"datastore", TWord::SkippedDestination},
        {"latentstyles", TWord::SkippedDestination}, {"generator", TWord::SkippedDestination},
        {"falt", TWord::SkippedDestination}, {"panose", TWord::SkippedDestination},

        {"deff", TWord::DefaultFont}, {"f", TWord::Font}, {"fcharset", TWord::FontCharset},
        {"red", TWord::Red}, {"green", TWord::Green}, {"blue", TWord::Blue}, {"listid", TWord::ListId},
        {"uc", TWord::UnicodeSkip}, {"u", TWord::Unicode}, {"bin", TWord::Binary},

        {"par", TWord::Par}, {"line", TWord::Line}, {"tab", TWord::Tab}, {"page", TWord::Page},
        {"cell", TWord::Cell}, {"row", TWord::Row}, {"bullet", TWord::Bullet},
        {"emdash", TWord::EmDash}, {"endash", TWord::EnDash}, {"lquote", TWord::LeftQuote},
        {"rquote", TWord::RightQuote}, {"ldblquote", TWord::LeftDoubleQuote},
        {"rdblquote", TWord::RightDoubleQuote}, {"emspace", TWord::EmSpace},
        {"enspace", TWord::EnSpace}, {"qmspace", TWord::QuarterEmSpace},

        {"plain", TWord::Plain}, {"b", TWord::Bold}, {"i", TWord::Italic}, {"ul", TWord::Underline},
        {"uld", TWord::Underline}, {"uldb", TWord::Underline}, {"ulw", TWord::Underline},
        {"ulth", TWord::Underline}, {"uldash", TWord::Underline}, {"ulwave", TWord::Underline},
        {"ulnone", TWord::UnderlineNone}, {"strike", TWord::Strike}, {"striked", TWord::Strike},
        {"v", TWord::Hidden}, {"fs", TWord::FontSize}, {"cf", TWord::ForeColor},
        {"super", TWord::Super}, {"sub", TWord::Sub}, {"nosupersub", TWord::NoSuperSub},

        {"pard", TWord::Pard}, {"ql", TWord::AlignLeft}, {"qj", TWord::AlignJustify},
        {"qc", TWord::AlignCenter}, {"qr", TWord::AlignRight}, {"li", TWord::LeftIndent},
        {"lin", TWord::LeftIndent}, {"ri", TWord::RightIndent}, {"rin", TWord::RightIndent},
        {"fi", TWord::FirstIndent}, {"sb", TWord::SpaceBefore}, {"sa", TWord::SpaceAfter},
        {"sl", TWord::LineSpacing}, {"slmult", TWord::LineMultiple}, {"ls", TWord::ListOverrideNumber},
        {"tx", TWord::TabStop},
    };
    const auto it = words.find(word);
    return it == words.end() ? TWord::Unknown : it->second;
}

// Twenty-two inches: more than any page, small enough for any layout.
constexpr int MaxTwips = 31680;
constexpr int MaxTabStops = 64;
constexpr long long MaxParam = 1000000000;

bool IsLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

int Twips(int value) { return std::clamp(value, -MaxTwips, MaxTwips); }

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
        CommitFont();
    switch (closed.Role) {
    case TGroupRole::List:
        if (FList.Levels > 0 && !FLists.contains(FList.Id))
            FLists.insert(FList.Id, FList);
        FList = TListInfo();
        break;
    case TGroupRole::ListLevel:
        FInListLevel = false;
        break;
    case TGroupRole::ListOverride:
        FListOverrides.insert(FOverrideNumber, FOverrideListId);
        FOverrideListId = 0;
        FOverrideNumber = 0;
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
    const TWord kind = word.size() > 32 ? TWord::Unknown : LookUp(word);
    const bool ignorable = FIgnorableNext;
    FIgnorableNext = false;

    if (kind == TWord::Binary) {
        // Binary data is skipped wherever it stands, also inside skipped groups.
        const std::size_t length = static_cast<std::size_t>(std::max(param, 0));
        FPos += std::min(length, FText.size() - FPos);
        return;
    }
    TGroupState& top = Top();
    if (top.Dest == TDestination::Skip)
        return;
    if (ignorable && kind != TWord::ListTable && kind != TWord::ListOverrideTable) {
        top.Dest = TDestination::Skip;
        return;
    }
    if (SkipFallback())
        return;

    const int flag = hasParam ? param : 1;
    TCharState& chr = top.Char;
    TParaState& para = top.Para;
    switch (kind) {
    case TWord::Unknown:
    case TWord::Binary:
        break;
    case TWord::SkippedDestination:
        top.Dest = TDestination::Skip;
        break;
    case TWord::FontTable:
        top.Dest = TDestination::FontTable;
        break;
    case TWord::ColorTable:
        top.Dest = TDestination::ColorTable;
        break;
    case TWord::ListTable:
        top.Dest = TDestination::ListTable;
        break;
    case TWord::ListOverrideTable:
        top.Dest = TDestination::ListOverrideTable;
        break;
    case TWord::List:
        if (top.Dest == TDestination::ListTable) {
            FList = TListInfo();
            top.Role = TGroupRole::List;
        }
        break;
    case TWord::ListLevel:
        if (top.Dest == TDestination::ListTable) {
            FInListLevel = FList.Levels == 0;
            FLevelTextDone = false;
            ++FList.Levels;
            top.Role = TGroupRole::ListLevel;
        }
        break;
    case TWord::LevelText:
        top.Dest = FInListLevel ? TDestination::LevelText : TDestination::Skip;
        break;
    case TWord::ListOverride:
        if (top.Dest == TDestination::ListOverrideTable)
            top.Role = TGroupRole::ListOverride;
        break;
    case TWord::ListText:
        top.Dest = TDestination::ListText;
        FListText.clear();
        break;
    case TWord::PnText:
        top.Dest = TDestination::PnText;
        FPnText.clear();
        break;

    case TWord::DefaultFont:
        FDefaultFont = param;
        break;
    case TWord::Font:
        if (top.Dest == TDestination::FontTable) {
            CommitFont();
            FFontId = param;
        } else if (top.Dest == TDestination::ListTable) {
            if (FInListLevel)
                FList.Font = param;
        } else {
            chr.Font = param;
        }
        break;
    case TWord::FontCharset:
        if (top.Dest == TDestination::FontTable)
            FFontCharset = param;
        break;
    case TWord::Red:
        FRed = std::clamp(param, 0, 255);
        FColorSet = true;
        break;
    case TWord::Green:
        FGreen = std::clamp(param, 0, 255);
        FColorSet = true;
        break;
    case TWord::Blue:
        FBlue = std::clamp(param, 0, 255);
        FColorSet = true;
        break;
    case TWord::ListId:
        if (top.Dest == TDestination::ListOverrideTable)
            FOverrideListId = param;
        else if (top.Dest == TDestination::ListTable)
            FList.Id = param;
        break;
    case TWord::UnicodeSkip:
        top.UnicodeSkip = std::clamp(param, 0, 16);
        break;
    case TWord::Unicode: {
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

    case TWord::Par:
    case TWord::Page:
    case TWord::Row:
        if (top.Dest == TDestination::Text)
            EndParagraph();
        break;
    case TWord::Line:
        AddChar(QChar::LineSeparator);
        break;
    case TWord::Tab:
    case TWord::Cell:
        AddChar(u'\t');
        break;
    case TWord::Bullet: AddChar(u'\u2022'); break;
    case TWord::EmDash: AddChar(u'\u2014'); break;
    case TWord::EnDash: AddChar(u'\u2013'); break;
    case TWord::LeftQuote: AddChar(u'\u2018'); break;
    case TWord::RightQuote: AddChar(u'\u2019'); break;
    case TWord::LeftDoubleQuote: AddChar(u'\u201C'); break;
    case TWord::RightDoubleQuote: AddChar(u'\u201D'); break;
    case TWord::EmSpace: AddChar(u'\u2003'); break;
    case TWord::EnSpace: AddChar(u'\u2002'); break;
    case TWord::QuarterEmSpace: AddChar(u'\u2005'); break;

    case TWord::Plain:
        chr = TCharState();
        break;
    case TWord::Bold:
        chr.Bold = flag != 0;
        break;
    case TWord::Italic:
        chr.Italic = flag != 0;
        break;
    case TWord::Underline:
        chr.Underline = flag != 0;
        break;
    case TWord::UnderlineNone:
        chr.Underline = false;
        break;
    case TWord::Strike:
        chr.Strike = flag != 0;
        break;
    case TWord::Hidden:
        chr.Hidden = flag != 0;
        break;
    case TWord::FontSize:
        chr.HalfPoints = hasParam && param > 0 ? std::clamp(param, 2, 800) : 24;
        break;
    case TWord::ForeColor:
        chr.Color = std::clamp(param, 0, 65535);
        break;
    case TWord::Super:
        chr.Vertical = 1;
        break;
    case TWord::Sub:
        chr.Vertical = -1;
        break;
    case TWord::NoSuperSub:
        chr.Vertical = 0;
        break;

    case TWord::Pard:
        para = TParaState();
        break;
    case TWord::AlignLeft:
        para.Align = Qt::AlignLeft;
        break;
    case TWord::AlignJustify:
        para.Align = Qt::AlignJustify;
        break;
    case TWord::AlignCenter:
        para.Align = Qt::AlignHCenter;
        break;
    case TWord::AlignRight:
        para.Align = Qt::AlignRight;
        break;
    case TWord::LeftIndent:
        if (top.Dest == TDestination::ListTable) {
            if (FInListLevel)
                FList.LeftIndent = Twips(param);
        } else {
            para.LeftIndent = Twips(param);
        }
        break;
    case TWord::FirstIndent:
        if (top.Dest == TDestination::ListTable) {
            if (FInListLevel)
                FList.FirstIndent = Twips(param);
        } else {
            para.FirstIndent = Twips(param);
        }
        break;
    case TWord::RightIndent:
        para.RightIndent = Twips(param);
        break;
    case TWord::SpaceBefore:
        para.SpaceBefore = std::clamp(param, 0, MaxTwips);
        break;
    case TWord::SpaceAfter:
        para.SpaceAfter = std::clamp(param, 0, MaxTwips);
        break;
    case TWord::LineSpacing:
        para.LineSpacing = Twips(param);
        break;
    case TWord::LineMultiple:
        para.LineMultiple = flag != 0;
        break;
    case TWord::ListOverrideNumber:
        if (top.Dest == TDestination::ListOverrideTable)
            FOverrideNumber = param;
        else
            para.ListOverride = param;
        break;
    case TWord::TabStop:
        if (static_cast<int>(para.Tabs.size()) < MaxTabStops)
            para.Tabs.push_back(std::clamp(param, 0, MaxTwips));
        break;
    }
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
        if (ch == u';')
            CommitFont();
        else
            FFontName.append(QChar(ch));
        return;
    case TDestination::ColorTable:
        if (ch == u';')
            CommitColor();
        return;
    case TDestination::LevelText:
        if (ch == u';')
            FLevelTextDone = true;
        else if (!FLevelTextDone && FList.LevelText.size() < 64)
            FList.LevelText.append(QChar(ch));
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
        if (const TFontInfo* font = FontOf(top.Char.Font); font != nullptr && font->Symbol != TSymbolFont::None) {
            if (const char16_t unicode = SymbolToUnicode(font->Symbol, symbolCode); unicode != 0) {
                ch = unicode;
                mapped = true;
            } else {
                ch = Cp1252ToUnicode(symbolCode);
            }
        }
    }
    std::vector<TRun>& runs = top.Dest == TDestination::ListText ? FListText
                              : top.Dest == TDestination::PnText  ? FPnText
                                                                  : FRuns;
    AddToRuns(runs, ch, mapped);
}

void TRtfReader::AddToRuns(std::vector<TRun>& runs, char16_t ch, bool symbolMapped)
{
    const TCharState& state = Top().Char;
    if (runs.empty() || !(runs.back().Format == state) || runs.back().SymbolMapped != symbolMapped)
        runs.push_back(TRun{QString(), state, symbolMapped});
    runs.back().Text.append(QChar(ch));
}

void TRtfReader::CommitFont()
{
    const QString family = FFontName.trimmed();
    if (FFontId >= 0 && !family.isEmpty() && !FFonts.contains(FFontId))
        FFonts.insert(FFontId, TFontInfo{family, SymbolFontOf(family, FFontCharset)});
    FFontName.clear();
    FFontCharset = 0;
}

void TRtfReader::CommitColor()
{
    // An entry without components is the automatic colour.
    FColors.append(FColorSet ? QColor(FRed, FGreen, FBlue) : QColor());
    FRed = FGreen = FBlue = 0;
    FColorSet = false;
}

const TRtfReader::TFontInfo* TRtfReader::FontOf(int font) const
{
    auto it = FFonts.constFind(font < 0 ? FDefaultFont : font);
    if (it == FFonts.constEnd())
        it = FFonts.constFind(FDefaultFont);
    return it == FFonts.constEnd() ? nullptr : &it.value();
}

QTextCharFormat TRtfReader::CharFormat(const TCharState& state, bool symbolMapped) const
{
    QTextCharFormat format;
    const TFontInfo* font = symbolMapped ? FontOf(-1) : FontOf(state.Font);
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
    if (state.Color < FColors.size() && FColors.at(state.Color).isValid())
        format.setForeground(FColors.at(state.Color));
    return format;
}

QTextBlockFormat TRtfReader::BlockFormat(const TParaState& para) const
{
    QTextBlockFormat format;
    format.setAlignment(para.Align);
    format.setLeftMargin(TwipsToPixels(para.LeftIndent));
    format.setRightMargin(TwipsToPixels(para.RightIndent));
    format.setTextIndent(TwipsToPixels(para.FirstIndent));
    format.setTopMargin(TwipsToPixels(para.SpaceBefore));
    format.setBottomMargin(TwipsToPixels(para.SpaceAfter));
    if (para.LineSpacing != 0) {
        if (para.LineMultiple)
            format.setLineHeight(std::abs(para.LineSpacing) * 100.0 / 240.0, QTextBlockFormat::ProportionalHeight);
        else if (para.LineSpacing > 0)
            format.setLineHeight(TwipsToPixels(para.LineSpacing), QTextBlockFormat::MinimumHeight);
        else
            format.setLineHeight(TwipsToPixels(-para.LineSpacing), QTextBlockFormat::FixedHeight);
    }
    // The layout counts tab positions from where the first line starts, RTF from
    // the page margin. A hanging indent stops the first tab at the left indent,
    // so bullet text lines up with the lines below.
    const int lineStart = para.LeftIndent + para.FirstIndent;
    QList<QTextOption::Tab> tabs;
    if (para.FirstIndent < 0)
        tabs.append(QTextOption::Tab(TwipsToPixels(-para.FirstIndent), QTextOption::LeftTab));
    for (const int tab : para.Tabs) {
        const double position = TwipsToPixels(tab - lineStart);
        if (position > 0)
            tabs.append(QTextOption::Tab(position, QTextOption::LeftTab));
    }
    std::sort(tabs.begin(), tabs.end(), [](const QTextOption::Tab& a, const QTextOption::Tab& b) {
        return a.position < b.position;
    });
    if (!tabs.isEmpty())
        format.setTabPositions(tabs);
    return format;
}

bool TRtfReader::ListBullet(int listOverride, TRun& bullet) const
{
    if (listOverride == 0)
        return false;
    const auto override = FListOverrides.constFind(listOverride);
    if (override == FListOverrides.constEnd())
        return false;
    const auto list = FLists.constFind(override.value());
    if (list == FLists.constEnd())
        return false;
    // The level text starts with its length; a bullet level holds one
    // character and no level-number placeholder.
    const QString& text = list->LevelText;
    if (text.size() < 2 || text.at(0).unicode() != 1 || text.at(1).unicode() < 0x20)
        return false;
    char16_t ch = text.at(1).unicode();
    bool mapped = false;
    auto font = FFonts.constFind(list->Font);
    if (font != FFonts.constEnd() && font->Symbol != TSymbolFont::None) {
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
    TParaState para = top.Para;
    const QTextCharFormat mark = CharFormat(top.Char, false);

    TRun bullet;
    bullet.Format = FRuns.empty() ? top.Char : FRuns.front().Format;
    bullet.Format.Underline = false;
    const bool fromList = ListBullet(para.ListOverride, bullet);
    if (fromList && para.LeftIndent == 0 && para.FirstIndent == 0) {
        const TListInfo& list = FLists[FListOverrides.value(para.ListOverride)];
        para.LeftIndent = list.LeftIndent;
        para.FirstIndent = list.FirstIndent;
    }
    const QTextBlockFormat block = BlockFormat(para);
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
