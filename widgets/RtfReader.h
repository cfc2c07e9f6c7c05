#pragma once

#include "RtfSymbolFont.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QString>
#include <QTextCursor>

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

class QTextBlockFormat;
class QTextCharFormat;
class QTextDocument;

// Turns RTF into the rich text of a QTextDocument; Qt reads no RTF of its own.
// It covers what word processors write for formatted prose: font and colour
// tables, character and paragraph formatting, bullet lists from the list table,
// code-page and Unicode escapes. Everything else is skipped. Any input, however
// malformed, yields some document, in time linear in its length, without
// recursion. Lengths in twips become pixels at 96 dpi, half-points points.
class TRtfReader {
public:
    // Groups nested deeper than this are read as part of the deepest one kept.
    static constexpr int MaxGroupDepth = 1000;

    // Replaces the selection of cursor with the document in rtf.
    static void Insert(QTextCursor& cursor, std::string_view rtf);
    // Replaces the whole content of document with the document in rtf.
    static void Load(QTextDocument& document, std::string_view rtf);

    static double TwipsToPixels(int twips) { return twips / 15.0; }

private:
    enum class TDestination : uint8_t {
        Text, Skip, FontTable, ColorTable, ListTable, ListOverrideTable, LevelText, ListText, PnText
    };
    // What closing a group completes.
    enum class TGroupRole : uint8_t { None, List, ListLevel, ListOverride };

    struct TCharState {
        int Font = -1; // -1: the default font
        int HalfPoints = 24;
        int Color = 0;
        int8_t Vertical = 0; // -1 subscript, 1 superscript
        bool Bold = false;
        bool Italic = false;
        bool Underline = false;
        bool Strike = false;
        bool Hidden = false;
        bool operator==(const TCharState&) const = default;
    };
    struct TParaState {
        Qt::Alignment Align = Qt::AlignLeft;
        int LeftIndent = 0;
        int RightIndent = 0;
        int FirstIndent = 0;
        int SpaceBefore = 0;
        int SpaceAfter = 0;
        int LineSpacing = 0;
        bool LineMultiple = false;
        int ListOverride = 0;
        std::vector<int> Tabs;
    };
    struct TGroupState {
        TCharState Char;
        TParaState Para;
        TDestination Dest = TDestination::Text;
        TGroupRole Role = TGroupRole::None;
        int UnicodeSkip = 1;
    };
    struct TRun {
        QString Text;
        TCharState Format;
        bool SymbolMapped = false; // shown in the default font, not the symbol font
    };
    struct TFontInfo {
        QString Family;
        TSymbolFont Symbol = TSymbolFont::None;
    };
    struct TListInfo {
        QString LevelText;
        int Font = -1;
        int FirstIndent = 0;
        int LeftIndent = 0;
        int Levels = 0;
        int Id = 0;
    };

    explicit TRtfReader(QTextCursor& cursor);
    void Read(std::string_view rtf);

    TGroupState& Top() { return FStack.back(); }
    void OpenGroup();
    void CloseGroup();
    void ReadControl();
    void ControlWord(std::string_view word, bool hasParam, int param);
    void ControlSymbol(unsigned char symbol);
    bool SkipFallback();
    void TextByte(unsigned char byte);
    void AddChar(char16_t ch, bool fromSymbolFont = false, unsigned char symbolCode = 0);
    void AddToRuns(std::vector<TRun>& runs, char16_t ch, bool symbolMapped);
    void CommitFont();
    void CommitColor();
    void EndParagraph();
    void FinishDocument();
    void InsertRuns(const std::vector<TRun>& runs);
    bool ListBullet(int listOverride, TRun& bullet) const;
    const TFontInfo* FontOf(int font) const;
    QTextCharFormat CharFormat(const TCharState& state, bool symbolMapped) const;
    QTextBlockFormat BlockFormat(const TParaState& para) const;

    QTextCursor& FCursor;
    std::string_view FText;
    std::size_t FPos = 0;
    std::vector<TGroupState> FStack;
    int FOverflowDepth = 0;
    int FFallbackToSkip = 0;
    bool FIgnorableNext = false;
    bool FDone = false;
    bool FFirstBlock = true;

    int FDefaultFont = -1;
    QHash<int, TFontInfo> FFonts;
    int FFontId = -1;
    int FFontCharset = 0;
    QString FFontName;

    QList<QColor> FColors;
    int FRed = 0, FGreen = 0, FBlue = 0;
    bool FColorSet = false;

    QHash<int, TListInfo> FLists;         // by list id
    QHash<int, int> FListOverrides;       // list override number -> list id
    TListInfo FList;
    bool FInListLevel = false;
    bool FLevelTextDone = false;
    int FOverrideListId = 0;
    int FOverrideNumber = 0;

    std::vector<TRun> FRuns;
    std::vector<TRun> FListText;
    std::vector<TRun> FPnText;
};
