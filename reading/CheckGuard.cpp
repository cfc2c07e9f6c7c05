#include "CheckGuard.h"

#include "TransferChanged.h"

#include <string>

TCheckGuard::TFacts TCheckGuard::FactsOf(std::string_view line, std::uint64_t separators)
{
    return {IsEndLine(line, BlockRules::Check), !line.empty() && line.back() == FieldSeparator, FieldCountOf(line, separators)};
}

void TCheckGuard::OnLine(const TFacts& line, bool isLast)
{
    ++FLine;
    const auto has = [&line](const FieldLayout::TLineLayout& layout, bool endsWithSeparator) {
        return line.FieldCount == static_cast<std::uint64_t>(layout.FieldCount) && (line.EndsWithSeparator || !endsWithSeparator);
    };
    bool fits = true;
    switch (FGrammar.Next(line.IsEnd, false, isLast)) {
    case EBlockLine::Header1:
        fits = has(FieldLayout::Header1, true);
        break;
    case EBlockLine::Header2:
        fits = has(FieldLayout::Header2, true);
        break;
    case EBlockLine::Parameter:
        fits = has(FieldLayout::Parameter, true);
        break;
    case EBlockLine::End:
        fits = has(FieldLayout::End, false);
        break;
    case EBlockLine::EndAsHeader2:
    case EBlockLine::Outside:
        break;
    }
    if (!fits)
        Changed(FLine);
}

void TCheckGuard::Finish() const
{
    if (FGrammar.InParameters())
        Changed(FLine);
}

void TCheckGuard::Changed(std::int64_t line)
{
    throw ETransferChanged("Zeile " + std::to_string(line) + " entspricht nicht mehr der Prüfung");
}
