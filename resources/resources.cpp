#include "resources.h"

#include <QtGlobal>

static void initOrxResources()
{
    Q_INIT_RESOURCE(resources);
}

void orx::initResources()
{
    initOrxResources();
}
