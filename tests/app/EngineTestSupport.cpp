#include "EngineTestSupport.h"

#include "platform/Clock.h"
#include "platform/Messages.h"

#include <algorithm>
#include <cstring>

FakeInterface Fake;

namespace {
std::uint32_t fixedNow = 1000;
std::uint32_t FixedClock() { return fixedNow; }

extern "C" int FakeWrite(int count, unsigned char *levels)
{
    Fake.writeLengths.push_back(count);
    Fake.writtenFrames.emplace_back(levels, levels + count);
    return std::min(count, 512);
}
extern "C" int FakeRead(int count, unsigned char *buf)
{
    ++Fake.readCalls;
    std::memcpy(buf, Fake.input, static_cast<std::size_t>(std::min(count, 512)));
    return count;
}
extern "C" unsigned char FakeRequest(unsigned char, short, short)
{
    ++Fake.requestCalls;
    return 1;
}
extern "C" unsigned char FakeReadBuf(int count, unsigned char *buf)
{
    ++Fake.readBufCalls;
    if (count >= 1)
        buf[0] = Fake.beatByte;
    return 1;
}
} // namespace

void BindFakeInterface()
{
    InterfaceLibrary._DMXWrite = FakeWrite;
    InterfaceLibrary._DMXRead = FakeRead;
    InterfaceLibrary._SendRequest = FakeRequest;
    InterfaceLibrary._ReadBuf = FakeReadBuf;
}

void EngineTest::SetUp()
{
    Fake = FakeInterface{};
    InterfaceLibrary = InterfaceLibraryWords{};
    platform::ResetMessages();
    platform::SetMonotonicMsHook(FixedClock);
    fixedNow = 1000;

    FreeShowTables();
    ClearFixtures();
    ResetChannelMaps();
    ResetMasterTables();
    for (int i = 0; i < MaxChannels; ++i) {
        DmxOutLevels[i] = DmxInverted[i] = DmxOutFrame[i] = DmxPrevFrame[i] = 0;
        FadeKind[i] = Fade8Bit;
        FineChannel[i] = 0;
        ChannelOffValues[i] = -1;
        CrossFadeFrom[i] = CrossFadeTo[i] = CrossFadeLevels[i] = MultiMergeLevels[i] = 0;
    }
    std::memset(DmxInLevels, 0, sizeof DmxInLevels);
    std::memset(DmxInPrev, 0, sizeof DmxInPrev);
    DmxOutChannels = 1024;
    DeviceState = -1;
    DmxOutEnabled = 1;
    SendFullFrame = 0;
    DmxInEnabled = DmxInThrough = DmxInMode = 0;
    InputClock = 0;
    InputFunctionCount = 0;
    CueCount = 0;

    for (Flag *f : {&Playing, &PlayInBackground, &MultiSeqRunning, &CrossFading, &PlayPaused, &BlackOutOn,
                    &FavouriteOn, &BeatTrigger, &ManualTrigger, &SceneChanged, &OutputChanged, &FrameChanged,
                    &EngineBusy, &TickInProgress})
        f->store(0);
    PlaySequence = PlayScene = NextScene = 0;
    PlayClock = NextStepTime = FadeEnd = FadeTicks = 0;
    MidiInputOn = HardwareBeatInput = SynchMode = 0;
    LastTriggerTime = 0;
    for (PlayerSlot &s : PlayerSlots)
        s = PlayerSlot{};
    CrossFadeClock = CrossFadeEnd = CrossFadeLimit = CrossFadeTicks = 0;
    std::fill(std::begin(MasterInputTime), std::end(MasterInputTime), -1000);
    std::fill(std::begin(MasterInputValue), std::end(MasterInputValue), 0);
    LastTempoTime = -1000;
    LastTempoValue = 0;
    RecordingOn = 0;

    auto recorder = [this](platform::WindowHandle *self) {
        return [this, self](std::uint32_t msg, std::uintptr_t w, std::intptr_t l) -> std::intptr_t {
            messages.push_back(RecordedMessage{*self, msg, w, l, inTick});
            return 0;
        };
    };
    mainWindow = platform::AllocateMessageWindow(recorder(&mainWindow));
    masterWindow = platform::AllocateMessageWindow(recorder(&masterWindow));
    recorderWindow = platform::AllocateMessageWindow(recorder(&recorderWindow));
    MessageWindow = mainWindow;
    MasterWindow = masterWindow;
    RecorderWindow = recorderWindow;
}

void EngineTest::TearDown()
{
    MessageWindow = MasterWindow = RecorderWindow = 0;
    platform::ResetMessages();
    platform::SetMonotonicMsHook(nullptr);
    InterfaceLibrary = InterfaceLibraryWords{};
    FreeShowTables();
    ClearFixtures();
}

void EngineTest::Tick(int count)
{
    for (int i = 0; i < count; ++i) {
        inTick = true;
        OutputTick();
        inTick = false;
        platform::DeliverPostedMessages();
    }
}

int EngineTest::CountCode(std::uintptr_t code) const
{
    return static_cast<int>(std::count_if(messages.begin(), messages.end(), [&](const RecordedMessage &m) {
        return m.msg == EngineMessage && m.wParam == code;
    }));
}

std::vector<std::uintptr_t> EngineTest::EngineCodes() const
{
    std::vector<std::uintptr_t> codes;
    for (const RecordedMessage &m : messages)
        if (m.msg == EngineMessage)
            codes.push_back(m.wParam);
    return codes;
}

int EngineTest::AddSequence(int scenes, std::uint8_t flags, std::uint8_t modes, std::uint32_t tempo,
                            const std::function<std::uint8_t(int, int)> &level)
{
    const int index = SequenceCount;
    SequenceRecord *seq = new SequenceRecord();
    seq->flags = flags;
    seq->modes = modes;
    seq->tempo = tempo;
    seq->sceneCount = static_cast<std::int16_t>(scenes);
    for (int s = 0; s < scenes; ++s) {
        SceneRecord *scene = new SceneRecord();
        scene->sceneTime = 500;
        scene->fadeTime = 50;
        if (level)
            for (int c = 0; c < MaxChannels; ++c)
                scene->levels[c] = level(s, c);
        seq->scenes[s] = scene;
    }
    Sequences[static_cast<std::size_t>(index)] = seq;
    SequenceCount = index + 1;
    return index;
}

int EngineTest::AddPatchedFixture(int start, int count)
{
    const int f = AddFixture();
    Fixtures[static_cast<std::size_t>(f)].start = static_cast<std::int16_t>(start);
    Fixtures[static_cast<std::size_t>(f)].channelCount = static_cast<std::uint8_t>(count);
    return f;
}

void EngineTest::StartPlay(int sequence, int scene)
{
    PlaySequence = sequence;
    PlayScene = scene - 1;
    PlayClock = -50;
    LastTriggerTime = -50;
    BeatTrigger = 0;
    ManualTrigger = 0;
    NextScene = scene;
    NextStepTime = 0;
    FadeEnd = 0;
    FadeTicks = 0;
    Playing = 1;
}
