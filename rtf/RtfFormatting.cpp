#include "RtfFormatting.h"

#include <QTextBlockFormat>
#include <QTextOption>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int MaxTabStops = 64;

} // namespace

bool ApplyCharWord(TRtfCharState& chr, TRtfWord word, bool hasParam, int param)
{
    const int flag = hasParam ? param : 1;
    switch (word) {
    case TRtfWord::Plain:
        chr = TRtfCharState();
        break;
    case TRtfWord::Bold:
        chr.Bold = flag != 0;
        break;
    case TRtfWord::Italic:
        chr.Italic = flag != 0;
        break;
    case TRtfWord::Underline:
        chr.Underline = flag != 0;
        break;
    case TRtfWord::UnderlineNone:
        chr.Underline = false;
        break;
    case TRtfWord::Strike:
        chr.Strike = flag != 0;
        break;
    case TRtfWord::Hidden:
        chr.Hidden = flag != 0;
        break;
    case TRtfWord::FontSize:
        chr.HalfPoints = hasParam && param > 0 ? std::clamp(param, 2, 800) : 24;
        break;
    case TRtfWord::ForeColor:
        chr.Color = std::clamp(param, 0, 65535);
        break;
    case TRtfWord::Super:
        chr.Vertical = 1;
        break;
    case TRtfWord::Sub:
        chr.Vertical = -1;
        break;
    case TRtfWord::NoSuperSub:
        chr.Vertical = 0;
        break;

    default:
        return false;
    }
    return true;
}

bool ApplyParaWord(TRtfParaState& para, TRtfWord word, bool hasParam, int param)
{
    const int flag = hasParam ? param : 1;
    switch (word) {
    case TRtfWord::Pard:
        para = TRtfParaState();
        break;
    case TRtfWord::AlignLeft:
        para.Align = Qt::AlignLeft;
        break;
    case TRtfWord::AlignJustify:
        para.Align = Qt::AlignJustify;
        break;
    case TRtfWord::AlignCenter:
        para.Align = Qt::AlignHCenter;
        break;
    case TRtfWord::AlignRight:
        para.Align = Qt::AlignRight;
        break;
    case TRtfWord::LeftIndent:
        para.LeftIndent = RtfTwips(param);
        break;
    case TRtfWord::FirstIndent:
        para.FirstIndent = RtfTwips(param);
        break;
    case TRtfWord::RightIndent:
        para.RightIndent = RtfTwips(param);
        break;
    case TRtfWord::SpaceBefore:
        para.SpaceBefore = std::clamp(param, 0, RtfMaxTwips);
        break;
    case TRtfWord::SpaceAfter:
        para.SpaceAfter = std::clamp(param, 0, RtfMaxTwips);
        break;
    case TRtfWord::LineSpacing:
        para.LineSpacing = RtfTwips(param);
        break;
    case TRtfWord::LineMultiple:
        para.LineMultiple = flag != 0;
        break;
    case TRtfWord::TabStop:
        if (static_cast<int>(para.Tabs.size()) < MaxTabStops)
            para.Tabs.push_back(std::clamp(param, 0, RtfMaxTwips));
        break;
    default:
        return false;
    }
    return true;
}

QTextBlockFormat RtfBlockFormat(const TRtfParaState& para)
{
    QTextBlockFormat format;
    format.setAlignment(para.Align);
    format.setLeftMargin(RtfTwipsToPixels(para.LeftIndent));
    format.setRightMargin(RtfTwipsToPixels(para.RightIndent));
    format.setTextIndent(RtfTwipsToPixels(para.FirstIndent));
    format.setTopMargin(RtfTwipsToPixels(para.SpaceBefore));
    format.setBottomMargin(RtfTwipsToPixels(para.SpaceAfter));
    if (para.LineSpacing != 0) {
        if (para.LineMultiple)
            format.setLineHeight(std::abs(para.LineSpacing) * 100.0 / 240.0, QTextBlockFormat::ProportionalHeight);
        else if (para.LineSpacing > 0)
            format.setLineHeight(RtfTwipsToPixels(para.LineSpacing), QTextBlockFormat::MinimumHeight);
        else
            format.setLineHeight(RtfTwipsToPixels(-para.LineSpacing), QTextBlockFormat::FixedHeight);
    }
    // The layout counts tab positions from where the first line starts, RTF from
    // the page margin. A hanging indent stops the first tab at the left indent,
    // so bullet text lines up with the lines below.
    const int lineStart = para.LeftIndent + para.FirstIndent;
    QList<QTextOption::Tab> tabs;
    if (para.FirstIndent < 0)
        tabs.append(QTextOption::Tab(RtfTwipsToPixels(-para.FirstIndent), QTextOption::LeftTab));
    for (const int tab : para.Tabs) {
        const double position = RtfTwipsToPixels(tab - lineStart);
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
