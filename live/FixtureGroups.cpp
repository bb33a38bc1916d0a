#include "FixtureGroups.h"

#include "FixtureArea.h"
#include "PlayState.h"

#include <algorithm>
#include <array>

namespace {

FixtureRecord &FixtureAt(int i)
{
    return Fixtures[static_cast<std::size_t>(i)];
}

int FixtureTotal()
{
    return std::min<int>(FixtureCount, static_cast<int>(Fixtures.size()));
}

// The logical channel of channel j of f, -1 when outside the channel range.
int ChannelOf(const FixtureRecord &f, int j)
{
    const int c = f.start + j;
    return j >= 0 && c >= 0 && c < MaxChannels ? c : -1;
}

int ChannelsOf(const FixtureRecord &f)
{
    return std::min<int>(f.channelCount, MaxFixtureChannels);
}

// The channels within f of the four reference slots (pan, tilt, fine pan, fine tilt) that
// groups keep: pan and tilt only with both, the fines only with both as well.
std::array<int, 4> ReferenceChannels(const FixtureRecord &f)
{
    const ChannelRoles r = RolesOf(f);
    std::array<int, 4> slots = {-1, -1, -1, -1};
    if (!r.HasPanTilt())
        return slots;
    slots[0] = r.pan;
    slots[1] = r.tilt;
    if (r.HasFine()) {
        slots[2] = r.panFine;
        slots[3] = r.tiltFine;
    }
    return slots;
}

bool IsMember(const GroupRecord &g, const FixtureRecord &f)
{
    for (int j = 0; j < ChannelsOf(f); ++j) {
        const int c = ChannelOf(f, j);
        if (c >= 0 && g.layers[0][c])
            return true;
    }
    return false;
}

} // namespace

GroupRecord *GroupAt(int g)
{
    if (g < 0 || g >= GroupCount || g >= static_cast<int>(Groups.size()))
        return nullptr;
    return &Groups[static_cast<std::size_t>(g)];
}

bool AddGroupFromLinks()
{
    if (!AnyChannelInState(2))
        return false;
    Groups.resize(static_cast<std::size_t>(GroupCount));
    Groups.emplace_back();
    GroupCount = static_cast<std::int32_t>(Groups.size());
    GroupRecord &g = Groups.back();
    g.name = "Group " + std::to_string(GroupCount);
    for (int i = 0; i < FixtureTotal(); ++i) {
        FixtureRecord &f = FixtureAt(i);
        for (int j = 0; j < ChannelsOf(f); ++j) {
            const int c = ChannelOf(f, j);
            if (c >= 0 && f.used[j] && f.states[j] == 2)
                g.layers[0][c] = 1;
        }
        const auto slots = ReferenceChannels(f);
        for (int s = 0; s < 4; ++s) {
            const int c = ChannelOf(f, slots[static_cast<std::size_t>(s)]);
            if (slots[static_cast<std::size_t>(s)] >= 0 && c >= 0)
                g.layers[s + 1][c] = PositionOffset(f, s);
        }
    }
    ShowModified = 1;
    return true;
}

std::vector<int> GroupMembers(int g)
{
    std::vector<int> members;
    const GroupRecord *group = GroupAt(g);
    if (!group)
        return members;
    for (int i = 0; i < FixtureTotal(); ++i)
        if (IsMember(*group, FixtureAt(i)))
            members.push_back(i);
    return members;
}

int FindGroupMember(int g, int k)
{
    const std::vector<int> members = GroupMembers(g);
    return k >= 0 && k < static_cast<int>(members.size()) ? members[static_cast<std::size_t>(k)] : -1;
}

int SelectGroup(int g)
{
    const GroupRecord *group = GroupAt(g);
    if (!group)
        return 0;
    for (int i = 0; i < FixtureTotal(); ++i) {
        FixtureRecord &f = FixtureAt(i);
        const auto slots = ReferenceChannels(f);
        for (int s = 0; s < 4; ++s) {
            const int c = ChannelOf(f, slots[static_cast<std::size_t>(s)]);
            if (slots[static_cast<std::size_t>(s)] >= 0 && c >= 0)
                PositionOffset(f, s) = group->layers[s + 1][c];
        }
        for (int j = 0; j < ChannelsOf(f); ++j)
            if (f.states[j] == 2)
                f.states[j] = 0;
        for (int j = 0; j < ChannelsOf(f); ++j) {
            const int c = ChannelOf(f, j);
            if (c >= 0 && group->layers[0][c] && f.states[j] != 3)
                f.states[j] = 2;
        }
    }
    RefreshMasterLinkActive();
    const std::vector<int> members = GroupMembers(g);
    return members.empty() ? 0 : members.front();
}

bool RemoveFixtureFromGroup(int g, int f)
{
    GroupRecord *group = GroupAt(g);
    if (!group || !FixtureIndexValid(f))
        return false;
    FixtureRecord &fixture = FixtureAt(f);
    for (int j = 0; j < ChannelsOf(fixture); ++j) {
        const int c = ChannelOf(fixture, j);
        if (c < 0 || !group->layers[0][c])
            continue;
        group->layers[0][c] = 0;
        if (fixture.used[j] && fixture.states[j] == 2)
            fixture.states[j] = 0;
    }
    RefreshMasterLinkActive();
    ShowModified = 1;
    return GroupMembers(g).empty();
}

bool RemoveGroup(int g)
{
    if (!GroupAt(g))
        return false;
    Groups.erase(Groups.begin() + g);
    GroupCount = static_cast<std::int32_t>(Groups.size());
    ShowModified = 1;
    return true;
}

bool RenameGroup(int g, const std::string &bytes)
{
    GroupRecord *group = GroupAt(g);
    if (!group)
        return false;
    group->name = bytes.substr(0, std::min(bytes.size(), MaxGroupName));
    ShowModified = 1;
    return true;
}
