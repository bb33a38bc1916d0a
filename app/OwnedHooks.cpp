#include "OwnedHooks.h"

#include <vector>

namespace {
struct Remembered {
    const void *owner;
    std::function<void()> release;
};
std::vector<Remembered> &AllOwned()
{
    static std::vector<Remembered> all;
    return all;
}
} // namespace

void RememberOwnedHook(const void *owner, std::function<void()> release)
{
    AllOwned().push_back({owner, std::move(release)});
}

void ReleaseOwnedHooks(const void *owner)
{
    std::vector<Remembered> &all = AllOwned();
    std::vector<Remembered> kept;
    std::vector<Remembered> released;
    for (Remembered &r : all)
        (r.owner == owner ? released : kept).push_back(std::move(r));
    all = std::move(kept);
    for (Remembered &r : released)
        r.release();
}
