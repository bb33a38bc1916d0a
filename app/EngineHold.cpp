#include "EngineHold.h"

#include "platform/Messages.h"

#include <chrono>
#include <thread>

void WaitForTickOutside()
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (TickInProgress.load() && std::chrono::steady_clock::now() < until) {
        platform::DeliverPostedMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}
