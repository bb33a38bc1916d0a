// A show for the editor tests without windows: device types with pan/tilt functions,
// fixtures patched on them, a current sequence of scenes with known levels.
#pragma once

#include "tests/app/FixtureAreaShow.h"

#include "editors/GraphBlocks.h"
#include "editors/TrackPaths.h"
#include "editors/ValueChart.h"

#include "app/SequenceEditing.h"
#include "platform/MsgBox.h"

#include <gtest/gtest.h>

namespace editors_test {

using namespace fixturearea_test;

// The editors' settings that live for the whole run, back to a known start.
inline void ResetEditorState()
{
    TimeTrackMode = 0;
    FadeTrackMode = 0;
    ColumnWidth = 4;
    ValueScale = 1;
    ChosenChannel = 0;
    FirstVisibleScene = 0;
    AskEveryTime = 1;
    GeneratorPanelExpanded = false;
    GeneratorPanelLeft = 500;
    GeneratorPanelTop = 6;
    ForgetBlocks();
    TrackMode = 0;
    TrackFixture = TrackSequence = -1;
}

class EditorsCore : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetFixtureArea();
        platform::ResetAnswers();
        platform::QueueAnswers({});
        ResetEditorState();
        spot = AddDeviceType("Spot", 16, {FunctionPan, FunctionTilt, FunctionColor, FunctionDimmer});
        dim = AddDeviceType("Dim", 8, {FunctionDimmer});
        head = AddDeviceType("Head", 5, {FunctionPan, FunctionTilt, FunctionPanFine, FunctionTiltFine, FunctionDimmer});
    }
    void TearDown() override
    {
        ResetFixtureArea();
        ResetEditorState();
        platform::ResetAnswers();
    }
    // A current sequence of `scenes` scenes (levels from transport_test::LevelOf).
    static SequenceRecord &Sequence(int scenes, int current = 0)
    {
        const int s = transport_test::AddSequence(scenes);
        CurSequence = s;
        CurScene = current;
        return *Sequences[static_cast<std::size_t>(s)];
    }
    static std::uint8_t Level(int scene, int channel)
    {
        return Sequences[static_cast<std::size_t>(CurSequence)]->scenes[scene]->levels[channel];
    }
    static void SetLevel(int scene, int channel, int v)
    {
        Sequences[static_cast<std::size_t>(CurSequence)]->scenes[scene]->levels[channel] = static_cast<std::uint8_t>(v);
    }

    int spot = -1, dim = -1, head = -1;
};

} // namespace editors_test
