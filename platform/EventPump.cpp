#include "EventPump.h"
#include "Messages.h"

#include <QCoreApplication>

namespace platform {

void ProcessPendingEvents()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
    DeliverPostedMessages();
}

} // namespace platform
