// A small patch for the master and slot tests: a dimmer pack of 8 channels at channel 0
// and a moving head of 4 channels (pan, tilt, colour, dimmer) at 600; the masters'
// records, lists and input cleared.
#pragma once

#include "app/FixtureArea.h"
#include "app/LevelPipeline.h"
#include "app/OutputEngine.h"
#include "app/WindowSeams.h"
#include "live/PhysicalMasters.h"
#include "tests/app/FixtureAreaShow.h"

#include <cstring>

namespace masters_test {

inline void ResetMasters()
{
    fixturearea_test::ResetFixtureArea();
    PhysicalMasters.fill(PhysicalMasterRecord{});
    ResetMasterTables();
    RebuildMasterChannelLists();
    SelectedMaster = 0;
    InputFunctionCount = 0;
    DmxInMode = 0;
    DmxInEnabled = 0;
    std::memset(DmxInLevels, 0, sizeof DmxInLevels);
    WindowSeams() = WindowSeamTable{};
    FixtureAreaEvents() = FixtureAreaHooks{};
}

struct MastersPatch {
    int pack = -1;    // fixture 0: channels 0..7, all dimmers
    int head = -1;    // fixture 1: channels 600..603
};

inline MastersPatch PatchMastersShow()
{
    const int packType = fixturearea_test::AddDeviceType(
        "Pack", 8,
        {FunctionDimmer, FunctionDimmer, FunctionDimmer, FunctionDimmer, FunctionDimmer, FunctionDimmer,
         FunctionDimmer, FunctionDimmer});
    const int headType =
        fixturearea_test::AddDeviceType("Head", 4, {FunctionPan, FunctionTilt, FunctionColor, FunctionDimmer});
    MastersPatch p;
    p.pack = PatchFixture(packType, 0, "Pack");
    p.head = PatchFixture(headType, 600, "");
    return p;
}

} // namespace masters_test
