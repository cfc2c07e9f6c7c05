#include "TypeAhead.h"

#include <QDeadlineTimer>

TTypeAhead::TTypeAhead()
    : FClock([] { return QDeadlineTimer::current(Qt::PreciseTimer).deadline(); })
{
}

bool TTypeAhead::Add(const QString& typed)
{
    const bool continues = Continues();
    if (!continues)
        FText.clear();
    FText += typed;
    FLastKey = FClock();
    return continues;
}
