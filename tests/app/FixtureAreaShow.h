// Device types for the fixture-area tests, set up in the catalogue directly (fixtures
// are patched onto them with PatchFixture), and the area's own state reset.
#pragma once

#include "fixtures/ShowFileTestSupport.h"
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
