// Fixtures of known device types for the fixture-area tests: device types set up in the
// catalogue directly, fixtures patched onto them, and the area's own state reset.
#pragma once

#include "transport/TransportShow.h"

#include "app/FixtureArea.h"
#include "app/PatchLoader.h"

#include <initializer_list>
#include <string>

namespace fixturearea_test {

// A device type of `count` channels, every one used; `functions` for the first channels.
inline int AddDeviceType(const std::string &name, int count, std::initializer_list<std::uint8_t> functions = {})
{
    DeviceTypeEntry t;
    t.fileName = name + ".dsp";
    t.deviceName = name;
    t.channelCount = static_cast<std::uint8_t>(count);
    t.usedMask = count >= 32 ? 0xFFFFFFFFu : ((1u << count) - 1);
    int j = 0;
    for (std::uint8_t f : functions)
        t.functions[j++] = f;
    DeviceTypes.push_back(t);
    DeviceTypeCount = static_cast<std::int32_t>(DeviceTypes.size());
    return DeviceTypeCount - 1;
}

// Patches a fixture of device type `type` at `start` with the operator's label `header`.
inline int Patch(int type, int start, const std::string &header = {})
{
    const int f = AddFixture();
    FixtureRecord &fx = Fixtures[static_cast<std::size_t>(f)];
    const DeviceTypeEntry &t = DeviceTypes[static_cast<std::size_t>(type)];
    fx.start = static_cast<std::int16_t>(start);
    fx.channelCount = t.channelCount;
    for (int j = 0; j < t.channelCount; ++j)
        fx.used[j] = (t.usedMask >> j) & 1;
    fx.deviceType = static_cast<std::int16_t>(type);
    fx.profileFileName = &t.fileName;
    fx.deviceName = &t.deviceName;
    fx.userHeader = header;
    return f;
}

inline void ResetFixtureArea()
{
    transport_test::ResetPlayState();
    DeviceTypes.clear();
    DeviceTypeCount = 0;
    BuildChannelMaps();
    SoloOn = 0;
    MasterLinkActive = 0;
    SelectingFixture = 0;
    SettingChannel = 0;
    SelectedChannel = 0;
    LinkMode = LinkFull;
    FixtureSceneClipboard = FixtureSceneClip{};
    DeviceSequenceType = -1;
    DeviceSequenceSceneCount = 0;
    DeviceSequenceValues.clear();
    ShowModified = 0;
    for (auto &m : PhysMasterMap)
        m = 255;
}

} // namespace fixturearea_test
