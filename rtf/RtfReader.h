#pragma once

#include "RtfFormatting.h"
#include "RtfTables.h"

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
// This class reads groups, control words and text and builds the paragraphs;
// the words it knows, the formatting and the header tables have files of their own.
class TRtfReader {
public:
    // Groups nested deeper than this are read as part of the deepest one kept.
    static constexpr int MaxGroupDepth = 1000;

    // Replaces the selection of cursor with the document in rtf.
    static void Insert(QTextCursor& cursor, std::string_view rtf);
    // Replaces the whole content of document with the document in rtf.
    static void Load(QTextDocument& document, std::string_view rtf);

    static double TwipsToPixels(int twips) { return RtfTwipsToPixels(twips); }

private:
    enum class TDestination : uint8_t {
        Text,
        Skip,
        FontTable,
        ColorTable,
        ListTable,
        ListOverrideTable,
        LevelText,
        ListText,
        PnText
    };
    // What closing a group completes.
    enum class TGroupRole : uint8_t { None,
                                      List,
                                      ListLevel,
                                      ListOverride };

    struct TGroupState {
        TRtfCharState Char;
        TRtfParaState Para;
        TDestination Dest = TDestination::Text;
        TGroupRole Role = TGroupRole::None;
        int UnicodeSkip = 1;
    };
    struct TRun {
        QString Text;
        TRtfCharState Format;
        bool SymbolMapped = false; // shown in the default font, not the symbol font
    };
    explicit TRtfReader(QTextCursor& cursor);
    void Read(std::string_view rtf);

    TGroupState& Top() { return FStack.back(); }
    void OpenGroup();
    void CloseGroup();
    void ReadControl();
    void ControlWord(std::string_view word, bool hasParam, int param);
    bool DestinationWord(TRtfWord word);
    bool TableWord(TRtfWord word, bool hasParam, int param);
    bool CharacterWord(TRtfWord word, bool hasParam, int param);
    void ControlSymbol(unsigned char symbol);
    bool SkipFallback();
    void TextByte(unsigned char byte);
    void AddChar(char16_t ch, bool fromSymbolFont = false, unsigned char symbolCode = 0);
    void AddToRuns(std::vector<TRun>& runs, char16_t ch, bool symbolMapped);
    void EndParagraph();
    void FinishDocument();
    void InsertRuns(const std::vector<TRun>& runs);
    bool ListBullet(int listOverride, TRun& bullet) const;
    QTextCharFormat CharFormat(const TRtfCharState& state, bool symbolMapped) const;

    QTextCursor& FCursor;
    std::string_view FText;
    std::size_t FPos = 0;
    std::vector<TGroupState> FStack;
    int FOverflowDepth = 0;
    int FFallbackToSkip = 0;
    bool FIgnorableNext = false;
    bool FDone = false;
    bool FFirstBlock = true;

    TRtfFontTable FFonts;
    TRtfColorTable FColors;
    TRtfListTable FLists;

    std::vector<TRun> FRuns;
    std::vector<TRun> FListText;
    std::vector<TRun> FPnText;
};
