// Shared set-up of the engine tests: a clean show, a recording fake of the interface
// library, a message window that records what reaches it, and a fixed clock.
#pragma once

#include "app/InterfaceLibrary.h"
#include "app/LevelPipeline.h"
#include "app/OutputEngine.h"
#include "app/PlayState.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

struct RecordedMessage {
    platform::WindowHandle window;
    std::uint32_t msg;
    std::uintptr_t wParam;
    std::intptr_t lParam;
    bool duringTick;   // handled before the test delivered posted messages (a send)
};

struct FakeInterface {
    std::vector<int> writeLengths;
    std::vector<std::vector<std::uint8_t>> writtenFrames;
    int readCalls = 0;
    int requestCalls = 0;
    int readBufCalls = 0;
    std::uint8_t beatByte = 0;
    std::uint8_t input[512] = {};
};
extern FakeInterface Fake;

// Binds the fake's _DMXWrite, _DMXRead, _SendRequest and _ReadBuf.
void BindFakeInterface();

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // One tick, then delivery of what it posted.
    void Tick(int count = 1);
    // Messages recorded for EngineMessage with the given code.
    int CountCode(std::uintptr_t code) const;
    std::vector<std::uintptr_t> EngineCodes() const;

    // A sequence with `scenes` scenes; `level(scene, channel)` gives the levels.
    int AddSequence(int scenes, std::uint8_t flags, std::uint8_t modes, std::uint32_t tempo = 120,
                    const std::function<std::uint8_t(int, int)> &level = {});
    // A fixture of `count` channels at `start`, all in state 0.
    int AddPatchedFixture(int start, int count);
    // Prepares the single player the way the play command does and sets Playing last.
    void StartPlay(int sequence, int scene);

    std::vector<RecordedMessage> messages;
    platform::WindowHandle mainWindow = 0, masterWindow = 0, recorderWindow = 0;
    bool inTick = false;
};
