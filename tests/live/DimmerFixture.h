// A fixture of four dimmer channels patched at channel 0 through the program's own
// profile loader ("dim.dsp" in the test's "Devices"), selected in the main window.
#pragma once

#include "profiles/ProfileBuilder.h"
#include "fixtures/ShowFileTestSupport.h"

#include "app/MainForm.h"
#include "app/PatchLoader.h"

#include "controls/Faders.h"

#include <gtest/gtest.h>

#include <filesystem>

inline void PatchDimmers(const std::filesystem::path &root, TMainForm *form)
{
    ProfileBuilder dim;
    dim.header.count = 4;
    dim.header.name = "Dim";
    for (int j = 0; j < 4; ++j)
        dim.Channel(j, FnDimmer);
    dim.Add<TSlider>(ElSlider, 4, 4, MakeTag(0));
    std::filesystem::create_directories(root / "bin" / "Devices");
    std::filesystem::copy_file(dim.Save("dim.dsp"), root / "bin" / "Devices" / "dim.dsp",
                               std::filesystem::copy_options::overwrite_existing);
    LoadDeviceProfiles();
    int type = -1;
    for (int i = 0; i < DeviceTypeCount; ++i)
        if (DeviceTypes[static_cast<std::size_t>(i)].deviceName == "Dim")
            type = i;
    ASSERT_GE(type, 0);
    PatchFixture(type, 0, "Dim");
    BuildChannelMaps();
    BuildFixturePanels();
    form->Select(0);
}
