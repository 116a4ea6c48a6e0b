#include "gui/main/app_resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
static void registerHarveloQrc()
{
    Q_INIT_RESOURCE(harvelo);
}

void initAppResources()
{
    static const bool registered = (registerHarveloQrc(), true);
    Q_UNUSED(registered);
}
