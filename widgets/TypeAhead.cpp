#include "TypeAhead.h"

#include <QDeadlineTimer>

TTypeAhead::TTypeAhead()
    : FClock([] { return QDeadlineTimer::current(Qt::PreciseTimer).deadline(); })
{
}

bool TTypeAhead::Add(const QString& typed)
{
    const int64_t now = FClock();
    const bool continues = !FText.isEmpty() && now - FLastKey < Pause;
    if (!continues)
        FText.clear();
    FText += typed;
    FLastKey = now;
    return continues;
}
