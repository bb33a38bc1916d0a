#include "StagePlan.h"

#include "FixtureArea.h"
#include "ShowModel.h"

#include <algorithm>

namespace {
FixtureRecord *FixturePtr(int i)
{
    return FixtureIndexValid(i) ? &Fixtures[static_cast<std::size_t>(i)] : nullptr;
}
} // namespace

PlanPoint ClampIconPosition(int x, int y, int planWidth, int planHeight)
{
    const int maxX = std::max(0, planWidth - PlanIconSize);
    const int maxY = std::max(0, planHeight - PlanIconSize - 10);
    return {std::clamp(x, 0, maxX), std::clamp(y, 0, maxY)};
}

PlanPoint PlanLabelPosition(int iconX, int iconY, int labelWidth)
{
    return {iconX - labelWidth / 2 + PlanIconSize / 2, iconY + 34};
}

PlanPoint OrientedPixel(int x, int y, int orientation, int size)
{
    const int last = size - 1;
    if (orientation & 4)
        x = last - x;
    switch (orientation & 3) {
    case 1:
        return {last - y, x};
    case 2:
        return {last - x, last - y};
    case 3:
        return {y, last - x};
    default:
        return {x, y};
    }
}

int PlanPageOf(int fixture, int pages)
{
    const FixtureRecord *f = FixturePtr(fixture);
    if (!f || f->planPage >= pages)
        return 0;
    return f->planPage;
}

int HighestPlanPage()
{
    int highest = 0;
    for (int i = 0; i < FixtureCount && i < static_cast<int>(Fixtures.size()); ++i)
        highest = std::max<int>(highest, Fixtures[static_cast<std::size_t>(i)].planPage);
    return highest;
}

namespace {
bool HasChannelInState(const FixtureRecord &f, int state)
{
    for (int j = 0; j < f.channelCount && j < MaxFixtureChannels; ++j)
        if (f.states[j] == state)
            return true;
    return false;
}
} // namespace

std::vector<int> FixturesInPlanRectangle(int left, int top, int right, int bottom, int mode, bool multiPage,
                                         int pageShown, int pages)
{
    std::vector<int> taken;
    const FixtureRecord *selected = FixturePtr(SelectedFixture);
    if (!selected || (mode != PlanRectLink && mode != PlanRectManual))
        return taken;
    if (multiPage && PlanPageOf(SelectedFixture, pages) != pageShown)
        return taken;
    const int skipState = mode == PlanRectLink ? 2 : 1;
    for (int i = 0; i < FixtureCount && i < static_cast<int>(Fixtures.size()); ++i) {
        const FixtureRecord &f = Fixtures[static_cast<std::size_t>(i)];
        if (f.deviceType != selected->deviceType)
            continue;
        if (f.planX < left || f.planX > right || f.planY < top || f.planY > bottom)
            continue;
        if (multiPage && PlanPageOf(i, pages) != pageShown)
            continue;
        if (HasChannelInState(f, skipState))
            continue;
        taken.push_back(i);
    }
    return taken;
}

void MoveFixturesOffPages(int removed)
{
    for (auto &f : Fixtures)
        if (f.planPage >= removed)
            f.planPage = 0;
}

int PlaceFixturesOnPage(int page)
{
    int moved = 0;
    if (MasterLinkActive) {
        for (int i = 0; i < FixtureCount && i < static_cast<int>(Fixtures.size()); ++i) {
            FixtureRecord &f = Fixtures[static_cast<std::size_t>(i)];
            bool linked = false;
            for (int j = 0; j < f.channelCount && j < MaxFixtureChannels; ++j)
                linked = linked || (f.used[j] && f.states[j] == 2);
            if (linked) {
                f.planPage = static_cast<std::uint8_t>(page);
                ++moved;
            }
        }
    } else if (FixtureRecord *f = FixturePtr(SelectedFixture)) {
        f->planPage = static_cast<std::uint8_t>(page);
        ++moved;
    }
    return moved;
}
