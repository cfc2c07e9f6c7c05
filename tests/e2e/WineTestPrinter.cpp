// Sets up a printer in a fresh Wine prefix, for the end-to-end run's print dialog.
#include "WineTestPrinter.h"

int main() { return EnsureWineTestPrinter() ? 0 : 1; }
