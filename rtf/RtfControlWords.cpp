#include "RtfControlWords.h"

#include <unordered_map>

TRtfWord RtfControlWord(std::string_view word)
{
    static const std::unordered_map<std::string_view, TRtfWord> words = {
        {"fonttbl", TRtfWord::FontTable},
        {"colortbl", TRtfWord::ColorTable},
        {"listtable", TRtfWord::ListTable},
        {"listoverridetable", TRtfWord::ListOverrideTable},
        {"list", TRtfWord::List},
        {"listlevel", TRtfWord::ListLevel},
        {"leveltext", TRtfWord::LevelText},
        {"listoverride", TRtfWord::ListOverride},
        {"listtext", TRtfWord::ListText},
        {"pntext", TRtfWord::PnText},
        // Destinations whose content is never shown.
        {"info", TRtfWord::SkippedDestination},
        {"stylesheet", TRtfWord::SkippedDestination},
        {"pict", TRtfWord::SkippedDestination},
        {"object", TRtfWord::SkippedDestination},
        {"header", TRtfWord::SkippedDestination},
        {"headerl", TRtfWord::SkippedDestination},
        {"headerr", TRtfWord::SkippedDestination},
        {"headerf", TRtfWord::SkippedDestination},
        {"footer", TRtfWord::SkippedDestination},
        {"footerl", TRtfWord::SkippedDestination},
        {"footerr", TRtfWord::SkippedDestination},
        {"footerf", TRtfWord::SkippedDestination},
        {"footnote", TRtfWord::SkippedDestination},
        {"annotation", TRtfWord::SkippedDestination},
        {"fldinst", TRtfWord::SkippedDestination},
        {"pn", TRtfWord::SkippedDestination},
        {"xe", TRtfWord::SkippedDestination},
        {"tc", TRtfWord::SkippedDestination},
        {"txe", TRtfWord::SkippedDestination},
        {"rxe", TRtfWord::SkippedDestination},
        {"bkmkstart", TRtfWord::SkippedDestination},
        {"bkmkend", TRtfWord::SkippedDestination},
        {"filetbl", TRtfWord::SkippedDestination},
        {"revtbl", TRtfWord::SkippedDestination},
        {"rsidtbl", TRtfWord::SkippedDestination},
        {"listname", TRtfWord::SkippedDestination},
        {"levelnumbers", TRtfWord::SkippedDestination},
        {"listpicture", TRtfWord::SkippedDestination},
        {"pgdsctbl", TRtfWord::SkippedDestination},
        {"ftnsep", TRtfWord::SkippedDestination},
        {"ftnsepc", TRtfWord::SkippedDestination},
        {"aftnsep", TRtfWord::SkippedDestination},
        {"aftnsepc", TRtfWord::SkippedDestination},
        {"shp", TRtfWord::SkippedDestination},
        {"nonshppict", TRtfWord::SkippedDestination},
        {"template", TRtfWord::SkippedDestination},
        {"themedata", TRtfWord::SkippedDestination},
        {"datastore", TRtfWord::SkippedDestination},
        {"latentstyles", TRtfWord::SkippedDestination},
        {"generator", TRtfWord::SkippedDestination},
        {"falt", TRtfWord::SkippedDestination},
        {"panose", TRtfWord::SkippedDestination},

        {"deff", TRtfWord::DefaultFont},
        {"f", TRtfWord::Font},
        {"fcharset", TRtfWord::FontCharset},
        {"red", TRtfWord::Red},
        {"green", TRtfWord::Green},
        {"blue", TRtfWord::Blue},
        {"listid", TRtfWord::ListId},
        {"uc", TRtfWord::UnicodeSkip},
        {"u", TRtfWord::Unicode},
        {"bin", TRtfWord::Binary},

        {"par", TRtfWord::Par},
        {"line", TRtfWord::Line},
        {"tab", TRtfWord::Tab},
        {"page", TRtfWord::Page},
        {"cell", TRtfWord::Cell},
        {"row", TRtfWord::Row},
        {"bullet", TRtfWord::Bullet},
        {"emdash", TRtfWord::EmDash},
        {"endash", TRtfWord::EnDash},
        {"lquote", TRtfWord::LeftQuote},
        {"rquote", TRtfWord::RightQuote},
        {"ldblquote", TRtfWord::LeftDoubleQuote},
        {"rdblquote", TRtfWord::RightDoubleQuote},
        {"emspace", TRtfWord::EmSpace},
        {"enspace", TRtfWord::EnSpace},
        {"qmspace", TRtfWord::QuarterEmSpace},

        {"plain", TRtfWord::Plain},
        {"b", TRtfWord::Bold},
        {"i", TRtfWord::Italic},
        {"ul", TRtfWord::Underline},
        {"uld", TRtfWord::Underline},
        {"uldb", TRtfWord::Underline},
        {"ulw", TRtfWord::Underline},
        {"ulth", TRtfWord::Underline},
        {"uldash", TRtfWord::Underline},
        {"ulwave", TRtfWord::Underline},
        {"ulnone", TRtfWord::UnderlineNone},
        {"strike", TRtfWord::Strike},
        {"striked", TRtfWord::Strike},
        {"v", TRtfWord::Hidden},
        {"fs", TRtfWord::FontSize},
        {"cf", TRtfWord::ForeColor},
        {"super", TRtfWord::Super},
        {"sub", TRtfWord::Sub},
        {"nosupersub", TRtfWord::NoSuperSub},

        {"pard", TRtfWord::Pard},
        {"ql", TRtfWord::AlignLeft},
        {"qj", TRtfWord::AlignJustify},
        {"qc", TRtfWord::AlignCenter},
        {"qr", TRtfWord::AlignRight},
        {"li", TRtfWord::LeftIndent},
        {"lin", TRtfWord::LeftIndent},
        {"ri", TRtfWord::RightIndent},
        {"rin", TRtfWord::RightIndent},
        {"fi", TRtfWord::FirstIndent},
        {"sb", TRtfWord::SpaceBefore},
        {"sa", TRtfWord::SpaceAfter},
        {"sl", TRtfWord::LineSpacing},
        {"slmult", TRtfWord::LineMultiple},
        {"ls", TRtfWord::ListOverrideNumber},
        {"tx", TRtfWord::TabStop},
    };
    const auto it = words.find(word);
    return it == words.end() ? TRtfWord::Unknown : it->second;
}

char16_t RtfWordCharacter(TRtfWord word)
{
    switch (word) {
    case TRtfWord::Bullet:
        return u'\u2022';
    case TRtfWord::EmDash:
        return u'\u2014';
    case TRtfWord::EnDash:
        return u'\u2013';
    case TRtfWord::LeftQuote:
        return u'\u2018';
    case TRtfWord::RightQuote:
        return u'\u2019';
    case TRtfWord::LeftDoubleQuote:
        return u'\u201C';
    case TRtfWord::RightDoubleQuote:
        return u'\u201D';
    case TRtfWord::EmSpace:
        return u'\u2003';
    case TRtfWord::EnSpace:
        return u'\u2002';
    case TRtfWord::QuarterEmSpace:
        return u'\u2005';
    default:
        return 0;
    }
}
