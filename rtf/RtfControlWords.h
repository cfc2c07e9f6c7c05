#pragma once

#include <string_view>

// The RTF control words the reader understands, grouped by what they do.
enum class TRtfWord {
    Unknown,
    // destinations
    FontTable,
    ColorTable,
    ListTable,
    ListOverrideTable,
    List,
    ListLevel,
    LevelText,
    ListOverride,
    ListText,
    PnText,
    SkippedDestination,
    // header and tables
    DefaultFont,
    Font,
    FontCharset,
    Red,
    Green,
    Blue,
    ListId,
    UnicodeSkip,
    Unicode,
    Binary,
    // characters
    Par,
    Line,
    Tab,
    Page,
    Cell,
    Row,
    Bullet,
    EmDash,
    EnDash,
    LeftQuote,
    RightQuote,
    LeftDoubleQuote,
    RightDoubleQuote,
    EmSpace,
    EnSpace,
    QuarterEmSpace,
    // character formatting
    Plain,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Strike,
    Hidden,
    FontSize,
    ForeColor,
    Super,
    Sub,
    NoSuperSub,
    // paragraph formatting
    Pard,
    AlignLeft,
    AlignJustify,
    AlignCenter,
    AlignRight,
    LeftIndent,
    RightIndent,
    FirstIndent,
    SpaceBefore,
    SpaceAfter,
    LineSpacing,
    LineMultiple,
    ListOverrideNumber,
    TabStop
};

// The control word named word (without its backslash and parameter);
// Unknown for every word the reader skips.
TRtfWord RtfControlWord(std::string_view word);

// The character a character word stands for, or 0 for any other word.
char16_t RtfWordCharacter(TRtfWord word);
