// The beat detector, the WAV capture path, the MIDI dispatcher, the sequencer event
// packing and the DMX-input assignment rules, without windows.
#include "live/BeatDetector.h"
#include "live/InputFunctionNames.h"
#include "live/MidiInput.h"

#include "platform/Messages.h"
#include "platform/MidiIn.h"
#include "platform/WaveIn.h"

#include "common/TestFiles.h"
#include "live/WaveFiles.h"
#include "transport/TransportShow.h"

#include <alsa/asoundlib.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>
#include <numeric>
#include <vector>

namespace {

// One buffer of format 0 (2048 16-bit samples) holding `value` everywhere.
std::vector<std::uint8_t> Constant16(int value)
{
    std::vector<std::uint8_t> b(4096);
    for (int i = 0; i < 2048; ++i) {
        b[2 * i] = static_cast<std::uint8_t>(value & 0xFF);
        b[2 * i + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
    }
    return b;
}

void ResetAudio(int agc, int volume)
{
    AudioSettingsFromBytes({0, 0, static_cast<std::uint8_t>(agc), 32, static_cast<std::uint8_t>(volume), 5, 65, 1},
                           Audio);
    Audio.format = 0;
    Audio.stopping = 0;
}

} // namespace

TEST(BeatDetector, LevelGainTriggerHoldAndFilter)
{
    // Silence: level 0, and the gain climbs one step per buffer up to 100.
    ResetAudio(1, 50);
    DetectorState st;
    const auto silence = Constant16(0);
    for (int i = 0; i < 60; ++i)
        EXPECT_EQ(RunDetector(Audio, st, silence.data(), 0).level, 0);
    EXPECT_EQ(Audio.volume.load(), 100);
    RunDetector(Audio, st, silence.data(), 0);
    EXPECT_EQ(Audio.volume.load(), 100);
    EXPECT_EQ(st.index, 61 % LevelHistoryLength);

    // Volume 50 on 2048 samples divides the sum by 131072: 5376 gives level 84 (65 %),
    // 5440 gives 85 (66 %). Trigger 65, hold 5 buffers.
    ResetAudio(0, 50);
    st = DetectorState{};
    const auto at84 = Constant16(5376), at85 = Constant16(5440);
    DetectorResult r = RunDetector(Audio, st, at84.data(), 0);
    EXPECT_EQ(r.level, 84);
    EXPECT_FALSE(r.beat);
    r = RunDetector(Audio, st, at85.data(), 0);
    EXPECT_EQ(r.level, 85);
    EXPECT_TRUE(r.beat);
    EXPECT_EQ(st.history[static_cast<std::size_t>(r.index)], 85);
    // Falling back below the trigger does not re-arm while the hold runs ...
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(RunDetector(Audio, st, at84.data(), 0).beat);
    EXPECT_FALSE(RunDetector(Audio, st, at85.data(), 0).beat);   // hold ran out, still above
    // ... and once it ran out, a quiet buffer re-arms and the next loud one is a beat.
    EXPECT_FALSE(RunDetector(Audio, st, at84.data(), 0).beat);
    EXPECT_TRUE(RunDetector(Audio, st, at85.data(), 0).beat);

    // Filter windows: depth 8 on format 0 averages 512 samples, depth 1 averages 4; the
    // window shrinks at the end of the buffer, down to the last sample alone.
    std::vector<int> ramp(2048);
    std::iota(ramp.begin(), ramp.end(), 0);
    std::vector<int> x = ramp;
    FilterSamples(x, 2048 / FilterDivisor(8));
    EXPECT_EQ(x[0], 255);        // mean of 0..511
    EXPECT_EQ(x[1536], 1791);    // mean of 1536..2047
    EXPECT_EQ(x[2046], 2046);    // mean of 2046, 2047
    EXPECT_EQ(x[2047], 2047);
    x = ramp;
    FilterSamples(x, 2048 / FilterDivisor(1));
    EXPECT_EQ(x[0], 1);          // mean of 0..3
    EXPECT_EQ(x[2045], 2046);
    // A depth outside 1..8 (the stored default byte gives 0) divides by 8; the byte is
    // kept as it was.
    const std::array<std::uint8_t, 8> defaults{0, 0, 1, 32, 50, 5, 65, 1};
    AudioSettingsFromBytes(defaults, Audio);
    EXPECT_EQ(FilterDivisor(Audio.filterDepth), 8);
    EXPECT_EQ(AudioSettingsToBytes(Audio), defaults);
    // A filtered loud buffer keeps its level: the filter is applied, not skipped.
    Audio.filter = 1;
    Audio.agc = 0;
    st = DetectorState{};
    EXPECT_EQ(RunDetector(Audio, st, at85.data(), 0).level, 85);
    // A stored volume of 0 would divide by zero: it reads as 1.
    AudioSettingsFromBytes({0, 0, 0, 32, 0, 5, 65, 1}, Audio);
    EXPECT_EQ(Audio.volume.load(), 1);
    EXPECT_EQ(RunDetector(Audio, st, at85.data(), 0).level, 1);
}

namespace {

// Captures a WAV file through the platform's capture and the detector, one buffer per
// step; returns the beats, or -1 when the capture refused the file.
int BeatsOf(const std::string &path, int format)
{
    ResetAudio(0, 50);
    Audio.format = format;
    BeatTrigger.store(0);
    platform::SetWaveInFile(path, false);
    int levels = 0;
    const platform::WindowHandle window = platform::AllocateMessageWindow(
        [&](std::uint32_t msg, std::uintptr_t, std::intptr_t code) {
            if (msg == AudioMessage && code == AudioCodeLevel)
                ++levels;
            return 0;
        });
    DetectorState state;
    const CaptureFormat &f = CaptureFormatAt(format);
    platform::WaveIn in;
    std::string error;
    int beats = -1;
    if (in.Start(0, {f.rate, f.bits}, f.bytes,
                 [&](const std::uint8_t *d, int n) { HandleCaptureBuffer(state, d, n, window); }, error)) {
        beats = 0;
        int steps = 0;
        while (platform::StepWaveIn()) {
            ++steps;
            if (BeatTrigger.exchange(0))
                ++beats;
        }
        in.Stop();
        platform::DeliverPostedMessages();
        EXPECT_EQ(levels, steps - 1);   // the last, partial buffer is not handed over
    }
    platform::ReleaseMessageWindow(window);
    platform::SetWaveInFile("", false);
    return beats;
}

} // namespace

TEST(BeatDetector, WaveFilesThroughTheCapturePath)
{
    const auto dir = testfiles::FreshFolder("brtv-wave");
    const std::string clicks16 = (dir / "clicks16.wav").string(), clicks8 = (dir / "clicks8.wav").string();
    const std::string quiet = (dir / "quiet.wav").string(), stereo = (dir / "stereo.wav").string();
    wave_test::Write(clicks16, 44100, 16, wave_test::Clicks(44100, 16, 4, 8, 120, 100, 16000));
    wave_test::Write(clicks8, 11025, 8, wave_test::Clicks(11025, 8, 4, 8, 120, 100, 16000));
    wave_test::Write(quiet, 44100, 16, std::vector<int>(44100 * 2, 0));
    wave_test::Write(stereo, 44100, 16, std::vector<int>(44100, 0), 2);

    EXPECT_EQ(BeatsOf(clicks16, 0), 8);
    EXPECT_EQ(BeatsOf(clicks8, 5), 8);
    EXPECT_EQ(BeatsOf(quiet, 0), 0);
    // A capture format other than the file's is refused, and so is a stereo file.
    EXPECT_EQ(BeatsOf(clicks8, 0), -1);
    EXPECT_EQ(BeatsOf(stereo, 0), -1);
    std::string error;
    EXPECT_FALSE(platform::ReadWaveFile(stereo, error));
    EXPECT_FALSE(error.empty());
    // A truncated header is refused, not read past its end.
    const std::string cut = (dir / "cut.wav").string();
    std::filesystem::copy_file(clicks16, cut);
    std::filesystem::resize_file(cut, 30);
    EXPECT_FALSE(platform::ReadWaveFile(cut, error));

    // BRTV_WAVE_IN: the file is the only device and plays in real time.
    setenv("BRTV_WAVE_IN", clicks16.c_str(), 1);
    platform::ReadWaveInEnvironment();
    unsetenv("BRTV_WAVE_IN");
    EXPECT_EQ(platform::WaveInDevices(), std::vector<std::string>{"WAV clicks16.wav"});
    EXPECT_TRUE(platform::WaveInSupports(0, {44100, 16}));
    EXPECT_FALSE(platform::WaveInSupports(0, {11025, 8}));
    std::atomic<int> buffers{0};
    platform::WaveIn in;
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(in.Start(0, {44100, 16}, 4096, [&](const std::uint8_t *, int) { ++buffers; }, error));
    while (buffers < 10 && std::chrono::steady_clock::now() - start < std::chrono::seconds(5))
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    in.Stop();
    EXPECT_GE(buffers.load(), 10);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));   // 10 buffers: 464 ms
    platform::SetWaveInFile("", false);
    platform::UseSystemWaveInDevices();
    std::filesystem::remove_all(dir);
}

// ---- MIDI ------------------------------------------------------------------------------

namespace {

std::uint32_t Msg(int status, int d1 = 0, int d2 = 0)
{
    return static_cast<std::uint32_t>(status | (d1 << 8) | (d2 << 16));
}

class MidiDispatch : public ::testing::Test {
protected:
    void SetUp() override
    {
        transport_test::ResetPlayState();
        Midi = MidiSettings{};
        Midi.channel = 0;
        MidiInputOn = 1;
        MessageWindow = 1;   // the dispatcher only needs one to exist
        actions.send = [this](std::uintptr_t code) { sent += static_cast<char>(code); };
    }
    void TearDown() override
    {
        MidiInputOn = 0;
        MessageWindow = 0;
        transport_test::ResetPlayState();
    }
    void In(std::uint32_t m) { MidiInputCallback(m, actions); }
    std::string sent;
    MidiActions actions;
};

} // namespace

TEST_F(MidiDispatch, ChannelsStartStopAndSequenceSelection)
{
    for (int i = 0; i < 200; ++i)
        transport_test::AddSequence(1);
    Midi.mode = MidiModeSequences;
    Midi.transpose = 12;
    In(Msg(0x90, 20, 0));    // velocity 0 is a note off
    In(Msg(0x91, 20, 64));   // another channel
    In(Msg(0x80, 20, 64));
    EXPECT_EQ(sent, "");
    // Start, continue and stop act only with "Use MIDI Start/Stop".
    Midi.startStop = false;
    In(Msg(0xFA));
    In(Msg(0xFC));
    EXPECT_EQ(sent, "");
    Midi.startStop = true;
    In(Msg(0xFA));
    In(Msg(0xFB));
    In(Msg(0xFC));
    In(Msg(0xF0));
    EXPECT_EQ(sent, "GGH");
    sent.clear();

    // Transpose 12: note 12 selects sequence 0; note 5 would be -7 and does nothing,
    // stopped or playing.
    PlaySequence = 9;
    In(Msg(0x90, 12, 100));
    EXPECT_EQ(sent, "S");
    EXPECT_EQ(PlaySequence, 0);
    sent.clear();
    PlaySequence = 9;
    In(Msg(0x90, 5, 100));
    Playing = 1;
    In(Msg(0x90, 5, 100));
    EXPECT_EQ(sent, "");
    EXPECT_EQ(PlaySequence, 9);
    // While playing, a note in range starts that sequence on the next tick.
    PlayClock = 1000;
    In(Msg(0xC0, 15, 0));
    EXPECT_EQ(PlaySequence, 3);
    EXPECT_EQ(PlayScene, -1);
    EXPECT_EQ(NextStepTime, 1050);
    EXPECT_EQ(BeatTrigger.load(), 1);
    EXPECT_EQ(sent, "");
    Playing = 0;

    // Controller mode, MSB controller 0 and LSB 32: 1 then 3 is sequence 131; with 100
    // sequences it is out of range and dropped.
    Midi.mode = MidiModeController;
    Midi.msbController = 0;
    Midi.lsbController = 32;
    In(Msg(0xB0, 0, 1));
    EXPECT_EQ(sent, "");
    In(Msg(0xB0, 32, 3));
    EXPECT_EQ(sent, "S");
    EXPECT_EQ(PlaySequence, 131);
    sent.clear();
    SequenceCount = 100;
    PlaySequence = 7;
    In(Msg(0xB0, 32, 3));
    EXPECT_EQ(sent, "");
    EXPECT_EQ(PlaySequence, 7);
    SequenceCount = 200;
    // While the multi-sequence player runs, the number is a cue.
    MultiSeqRunning = 1;
    CueCount = 2;
    In(Msg(0xB0, 0, 0));
    In(Msg(0xB0, 32, 1));
    In(Msg(0xB0, 32, 2));
    EXPECT_EQ(sent, "S");
    EXPECT_EQ(PlaySequence, 1);
    CueCount = 0;
    // Nothing at all while remote control is off.
    MultiSeqRunning = 0;
    sent.clear();
    MidiInputOn = 0;
    In(Msg(0xFA));
    EXPECT_EQ(sent, "");
}

TEST_F(MidiDispatch, FullControlNoteLandsOnItsSceneAndKeepsTheEngineHeld)
{
    const int seq = transport_test::AddSequence(5, SeqFlagCycle, 0, 120);
    CurSequence = PlaySequence = seq;
    Midi.mode = MidiModeFullControl;
    // Stopped: the main window goes to the scene ('C'); a note beyond the scenes does nothing.
    In(Msg(0x90, 7, 90));
    EXPECT_EQ(sent, "");
    In(Msg(0x90, 2, 90));
    EXPECT_EQ(sent, "C");
    EXPECT_EQ(PlayScene, 2);

    // Playing: note 3 lands on scene 3 at the next tick.
    PlayScene = 0;
    NextScene = 1;
    PlayClock = 0;
    NextStepTime = 100000;
    Playing = 1;
    In(Msg(0x90, 3, 90));
    OutputTick();
    EXPECT_EQ(PlayScene, 3);
    // The engine hold restores what it found: a window's hold is not freed.
    EngineBusy = 1;
    In(Msg(0x90, 1, 90));
    EXPECT_EQ(EngineBusy.load(), 1);
    OutputTick();
    EXPECT_EQ(PlayScene, 0);   // the held engine did not step; the next scene is 1
    EngineBusy = 0;
    OutputTick();
    EXPECT_EQ(PlayScene, 1);
    // Ignored while the multi-sequence player runs.
    MultiSeqRunning = 1;
    In(Msg(0x90, 4, 90));
    EXPECT_EQ(PlayScene, 1);
    EXPECT_EQ(sent, "C");
}

TEST(MidiPacking, SequencerEventsOfEachKind)
{
    auto event = [](snd_seq_event_type_t type) {
        snd_seq_event_t ev{};
        ev.type = type;
        return ev;
    };
    snd_seq_event_t ev = event(SND_SEQ_EVENT_NOTEON);
    ev.data.note = {3, 60, 100, 0, 0};
    EXPECT_EQ(platform::PackSequencerEvent(ev), 0x643C93u);
    ev = event(SND_SEQ_EVENT_NOTEOFF);
    ev.data.note = {15, 200, 0, 0, 0};   // data bytes keep 7 bits
    EXPECT_EQ(platform::PackSequencerEvent(ev), 0x00488Fu);
    ev = event(SND_SEQ_EVENT_PGMCHANGE);
    ev.data.control.channel = 1;
    ev.data.control.value = 5;
    EXPECT_EQ(platform::PackSequencerEvent(ev), 0x05C1u);
    ev = event(SND_SEQ_EVENT_CONTROLLER);
    ev.data.control.channel = 0;
    ev.data.control.param = 32;
    ev.data.control.value = 3;
    EXPECT_EQ(platform::PackSequencerEvent(ev), 0x0320B0u);
    EXPECT_EQ(platform::PackSequencerEvent(event(SND_SEQ_EVENT_START)), 0xFAu);
    EXPECT_EQ(platform::PackSequencerEvent(event(SND_SEQ_EVENT_CONTINUE)), 0xFBu);
    EXPECT_EQ(platform::PackSequencerEvent(event(SND_SEQ_EVENT_STOP)), 0xFCu);
    EXPECT_EQ(platform::PackSequencerEvent(event(SND_SEQ_EVENT_SYSEX)), 0u);
    EXPECT_EQ(platform::PackSequencerEvent(event(SND_SEQ_EVENT_PITCHBEND)), 0u);
}

// A second sequencer client with a readable port: the program lists it, subscribes, and
// a note from it reaches the handler.
TEST(MidiSequencer, NoteFromAnotherClientReachesTheHandler)
{
    if (!std::filesystem::exists("/dev/snd/seq"))
        GTEST_SKIP() << "no sequencer device";
    platform::UseSystemMidiDevices();
    snd_seq_t *peer = nullptr;
    ASSERT_GE(snd_seq_open(&peer, "default", SND_SEQ_OPEN_OUTPUT, 0), 0);
    snd_seq_set_client_name(peer, "Inputs test keyboard");
    const int port = snd_seq_create_simple_port(peer, "Keys", SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ,
                                                SND_SEQ_PORT_TYPE_MIDI_GENERIC);
    ASSERT_GE(port, 0);
    const auto devices = platform::MidiInDevices();
    int index = -1;
    for (std::size_t i = 0; i < devices.size(); ++i)
        if (devices[i] == "Inputs test keyboard:Keys")
            index = static_cast<int>(i);
    ASSERT_GE(index, 0);
    std::atomic<std::uint32_t> got{0};
    platform::MidiIn in;
    ASSERT_TRUE(in.Open(index, [&](std::uint32_t m) { got = m; }));
    snd_seq_event_t ev{};
    snd_seq_ev_set_source(&ev, port);
    snd_seq_ev_set_subs(&ev);
    snd_seq_ev_set_direct(&ev);
    snd_seq_ev_set_noteon(&ev, 2, 64, 90);
    snd_seq_event_output_direct(peer, &ev);
    for (int i = 0; i < 2000 && !got.load(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(got.load(), 0x5A4092u);
    in.Close();
    snd_seq_close(peer);
}

// ---- DMX-input functions ---------------------------------------------------------------

TEST(InputFunctions, AssignmentRules)
{
    const auto &names = InputFunctionNames();
    ASSERT_EQ(names.size(), 69u);
    EXPECT_EQ(names[16].name, "Main Master");
    EXPECT_EQ(names[52].name, "Sequence32(Cue32)");
    EXPECT_EQ(names[68].name, "Multisequence16 On/Off");
    EXPECT_EQ(InputFunctionText({200, 1}), " ");   // a loaded unknown pair shows blank
    EXPECT_EQ(InputFunctionText({2, 2}), "Play/Stop");

    InputFunctionTable table{};
    InputFunctionEdit edit(table);
    EXPECT_EQ(edit.DropFromFunctions(16, 4), 0);       // Main Master on channel 5
    EXPECT_EQ(edit.DropFromFunctions(16, 8), 5);       // refused, naming channel 5
    EXPECT_EQ(edit.Entries()[8].kind, 0);
    EXPECT_EQ(edit.DropFromFunctions(17, 8), 0);       // BlackOut on channel 9
    EXPECT_FALSE(edit.DropFromChannel(4, 4));          // onto itself: nothing
    EXPECT_FALSE(edit.DropFromChannel(7, 4));          // a free row drags nothing
    EXPECT_TRUE(edit.DropFromChannel(4, 8));
    EXPECT_EQ(InputFunctionText(edit.Entries()[8]), "Main Master");
    EXPECT_EQ(edit.Entries()[4].kind, 0);
    EXPECT_EQ(edit.ChannelOf(17), 0);                  // BlackOut is free again
    EXPECT_EQ(edit.DropFromFunctions(17, 511), 0);
    EXPECT_EQ(HighestAssignedChannel(edit.Entries()), 512);
    edit.Clear(511);
    EXPECT_EQ(HighestAssignedChannel(edit.Entries()), 9);
    EXPECT_EQ(edit.DropFromFunctions(0, 512), 0);      // outside the table: nothing
    edit.ClearAll();
    EXPECT_EQ(HighestAssignedChannel(edit.Entries()), 0);
    // The edit copy never touches the table it came from.
    EXPECT_EQ(HighestAssignedChannel(table), 0);
}
