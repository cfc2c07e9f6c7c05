#include "CheckGuard.h"

#include "TransferChanged.h"

#include <string>

void TCheckGuard::Finish() const
{
    if (FGrammar.InParameters())
        Changed(FLine);
}

void TCheckGuard::Changed(std::int64_t line)
{
    throw ETransferChanged("Zeile " + std::to_string(line) + " entspricht nicht mehr der Prüfung");
}
