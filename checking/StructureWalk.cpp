#include "StructureWalk.h"

TStructureWalk::TStructureWalk(TSamplingData& data, TInvestigationObserver* observer)
    : FData(data),
      FObserver(observer),
      FWalk(*this, TBlockGrammar(BlockRules::Check))
{
    // The first block is begun whatever the file holds, even when it is empty.
    ++FData.InvestigationCount;
}

void TStructureWalk::CheckHeader(const TLineFacts& line, std::int32_t number, const THeaderRule& rule)
{
    if (line.FieldCount() != static_cast<std::uint64_t>(rule.Layout.FieldCount) || !line.EndsWithSeparator()) {
        AddMessage(FData, number, rule.CountMessage);
        return;
    }
    if (!line.First.Equals(rule.Kind))
        AddMessage(FData, number, rule.KindMessage);
    if (!line.Second.EqualsUpper(rule.Code))
        AddMessage(FData, number, rule.CodeMessage);
}

void TStructureWalk::CheckEnd(const TLineFacts& line, std::int32_t number)
{
    if (line.FieldCount() != static_cast<std::uint64_t>(FieldLayout::End.FieldCount))
        AddMessage(FData, number, ECheckMessage::EndLineFieldCountMismatch);
    else if (line.Count.Value() != FInvestigationParameters)
        AddMessage(FData, number, ECheckMessage::ParameterCountMismatch);
    if (FObserver)
        FObserver->InvestigationEnds(FInvestigationParameters);
}

void TStructureWalk::OtherLine(EBlockLine role, const TLineFacts& line, std::int64_t number)
{
    switch (role) {
    case EBlockLine::Header1:
        // The constructor counted the first block.
        if (!FFirstInvestigation && FData.InvestigationCount < INT32_MAX)
            ++FData.InvestigationCount;
        FFirstInvestigation = false;
        FInvestigationParameters = 0;
        if (FObserver)
            FObserver->InvestigationBegins(number, line.Offset);
        CheckHeader(line, Clamped(number), Header1Rule);
        return;
    case EBlockLine::Header2:
        CheckHeader(line, Clamped(number), Header2Rule);
        return;
    case EBlockLine::Parameter:
        CheckParameter(line, Clamped(number));
        return;
    case EBlockLine::End:
        CheckEnd(line, Clamped(number));
        return;
    case EBlockLine::Outside:
        // Under the check's rules only the single line behind a complete
        // block, which is never examined; one that holds anything is noted.
        if (line.Separators > 0 || !line.First.Equals(""))
            FData.UnexaminedLine = Clamped(number);
        return;
    case EBlockLine::EndAsHeader2: // not under the check's rules
        return;
    }
}

void TStructureWalk::Finish()
{
    FData.LineCount = Clamped(FWalk.Lines());
    if (FWalk.Grammar().Open())
        AddMessage(FData, Clamped(FWalk.Lines() + 1), ECheckMessage::UnexpectedEndOfRecord);
    if (FData.MessageText.empty())
        FData.MessageText = "OK";
}
