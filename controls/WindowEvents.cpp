#include "controls/WindowEvents.h"

bool TWindowEvents::EnterLogLine(const QString &line)
{
    bool taken = false;
    emit LogLineEntered(line, &taken);
    return taken;
}
