#include "ValueChart.h"

#include "GraphBlocks.h"

#include "app/FixtureArea.h"
#include "app/PlayState.h"
#include "app/SceneFixtures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

std::uint8_t TimeTrackMode = 1;
std::uint8_t FadeTrackMode = 0;
int ColumnWidth = 4;
int ValueScale = 1;
int ChosenChannel = 0;
int FirstVisibleScene = 0;
int ElapsedBase = 0;
int SelFirstScene = 0, SelLastScene = 0, SelFirstChannel = 0, SelLastChannel = 0;
std::uint8_t SelectionValid = 0;
std::uint8_t AskEveryTime = 1;
int RandomSeed = 0;
int GeneratorSettings[5] = {128, 128, 0, 50, 90};
int GeneratorPanelLeft = 500, GeneratorPanelTop = 6;
bool GeneratorPanelExpanded = false;
int ChartScrollPosition = 0;

int ColumnLeft(int scene)
{
    return (scene - FirstVisibleScene) * ColumnWidth + ChartMargin + 1;
}

int SceneAtX(int x, int sceneCount)
{
    int s = FirstVisibleScene + (x - ChartMargin) / ColumnWidth;
    s = std::max(s, FirstVisibleScene);
    return std::min(s, sceneCount - 1);
}

bool PastLastScene(int x, int sceneCount)
{
    return x >= ChartMargin + (sceneCount - FirstVisibleScene) * ColumnWidth;
}

int ChartHeight()
{
    return (TimeTrackMode ? 300 : 256) * ValueScale;
}

int HoldToChart(int y)
{
    return std::clamp(y, 0, ChartHeight() - 1);
}

int ValueAtY(int y)
{
    y = HoldToChart(y);
    if (!TimeTrackMode)
        return 255 - y / ValueScale;
    return std::max(MinSceneTime, (300 * ValueScale - y) * 100 / ValueScale);
}

int ElapsedBefore(const SequenceRecord &seq, int scene)
{
    long long sum = 0;
    for (int s = 0; s < scene && s < seq.sceneCount; ++s)
        sum += seq.scenes[s]->sceneTime;
    return static_cast<int>(std::min<long long>(sum, 0x7FFFFFFF));
}

std::string ElapsedText(int ms)
{
    char buf[48];
    std::snprintf(buf, sizeof buf, "%d:%02d:%01d", ms / 60000, ms / 1000 % 60, ms / 100 % 10);
    return buf;
}

std::string TimeHintText(int ms)
{
    char buf[48];
    std::snprintf(buf, sizeof buf, "%d:%02ds(%d)", ms / 1000, ms / 10 % 100, ms > 0 ? 60000 / ms : 0);
    return buf;
}

std::string FadeHintText(int ms)
{
    char buf[48];
    std::snprintf(buf, sizeof buf, "%d:%02ds", ms / 1000, ms / 10 % 100);
    return buf;
}

SequenceRecord *EditableSequence()
{
    SequenceRecord *seq = CurrentSequenceRecord();
    if (!seq || seq->sceneCount < 1 || CurScene < 0 || CurScene >= seq->sceneCount)
        return nullptr;
    return seq;
}

bool ChannelUsable(const FixtureRecord &f, int channel)
{
    return channel >= 0 && channel < f.channelCount && channel < MaxFixtureChannels && f.used[channel] &&
           f.start + channel < MaxChannels && f.start + channel >= 0;
}

std::vector<int> LinkedFixtures(int fixture, int channel)
{
    std::vector<int> out;
    if (!FixtureIndexValid(fixture))
        return out;
    const int type = Fixtures[static_cast<std::size_t>(fixture)].deviceType;
    for (int i = 0; i < FixtureCount; ++i) {
        const FixtureRecord &f = Fixtures[static_cast<std::size_t>(i)];
        if (i != fixture && f.deviceType == type && ChannelUsable(f, channel) && f.states[channel] == 2)
            out.push_back(i);
    }
    return out;
}

std::uint8_t SceneLevel(const SceneRecord &scene, const FixtureRecord &f, int channel)
{
    const int c = f.start + channel;
    if (channel < 0 || channel >= MaxFixtureChannels || c < 0 || c >= MaxChannels)
        return 0;
    return scene.levels[c];
}

void SetSceneLevel(SceneRecord &scene, const FixtureRecord &f, int channel, int level)
{
    const int c = f.start + channel;
    if (channel < 0 || channel >= MaxFixtureChannels || c < 0 || c >= MaxChannels)
        return;
    scene.levels[c] = static_cast<std::uint8_t>(std::clamp(level, 0, 255));
}

namespace {
// A time written by the editor: at least 50 ms.
std::uint32_t EditorTime(long long ms)
{
    return static_cast<std::uint32_t>(std::clamp<long long>(ms, MinSceneTime, 0x7FFFFFFF));
}

void WriteTime(SceneRecord &scene, std::uint32_t ms)
{
    if (FadeTrackMode)
        scene.fadeTime = ms;
    else
        scene.sceneTime = ms;
}

// A level of the chosen channel into `scene` of the fixture and, when the channel is
// linked, of every linked fixture of its type.
void WriteLevel(int fixture, SceneRecord &scene, int level)
{
    const FixtureRecord &f = Fixtures[static_cast<std::size_t>(fixture)];
    SetSceneLevel(scene, f, ChosenChannel, level);
    if (f.states[ChosenChannel] == 2)
        for (int other : LinkedFixtures(fixture, ChosenChannel))
            SetSceneLevel(scene, Fixtures[static_cast<std::size_t>(other)], ChosenChannel, level);
}
} // namespace

int PencilWrite(int fixture, int scene, int y)
{
    SequenceRecord *seq = EditableSequence();
    if (!seq || scene < 0 || scene >= seq->sceneCount)
        return -1;
    const int value = ValueAtY(y);
    if (TimeTrackMode) {
        WriteTime(*seq->scenes[scene], EditorTime(value));
        return value;
    }
    if (!FixtureIndexValid(fixture) || ChosenChannel < 0 ||
        ChosenChannel >= Fixtures[static_cast<std::size_t>(fixture)].channelCount)
        return -1;
    WriteLevel(fixture, *seq->scenes[scene], value);
    if (scene == CurScene && fixture == SelectedFixture)
        SetFixtureChannel(ChosenChannel, value);
    return value;
}

bool LineWrite(int fixture, int startScene, int startY, int endScene, int endY)
{
    SequenceRecord *seq = EditableSequence();
    if (!seq)
        return false;
    const int last = seq->sceneCount - 1;
    startScene = std::clamp(startScene, FirstVisibleScene, last);
    endScene = std::clamp(endScene, FirstVisibleScene, last);
    const int top = TimeTrackMode ? 300 * ValueScale : 256 * ValueScale - 1;
    int h0 = top - HoldToChart(startY);
    int h1 = top - HoldToChart(endY);
    if (endScene < startScene) {
        std::swap(startScene, endScene);
        std::swap(h0, h1);
    }
    if (startScene == endScene)
        return false;
    const float slope = static_cast<float>(h1 - h0) / static_cast<float>(endScene - startScene) /
                        static_cast<float>(ValueScale);
    if (TimeTrackMode) {
        WriteTime(*seq->scenes[startScene], EditorTime(h0 * 100 / ValueScale));
        WriteTime(*seq->scenes[endScene], EditorTime(h1 * 100 / ValueScale));
        for (int i = startScene + 1; i < endScene; ++i)
            WriteTime(*seq->scenes[i],
                      EditorTime(static_cast<long long>(std::trunc(
                          static_cast<float>(h0 * 100 / ValueScale) + static_cast<float>(i - startScene) * slope * 100.0f))));
        return true;
    }
    if (!FixtureIndexValid(fixture) || ChosenChannel < 0 ||
        ChosenChannel >= Fixtures[static_cast<std::size_t>(fixture)].channelCount)
        return false;
    SaveUndoBlock(fixture, CurSequence, startScene, endScene - startScene + 1, ChosenChannel, 1);
    for (int i = startScene; i <= endScene; ++i) {
        int level;
        if (i == startScene)
            level = h0 / ValueScale;
        else if (i == endScene)
            level = h1 / ValueScale;
        else
            level = static_cast<int>(
                std::trunc(static_cast<float>(h0 / ValueScale) + static_cast<float>(i - startScene) * slope));
        WriteLevel(fixture, *seq->scenes[i], level);
    }
    if (CurScene >= startScene && CurScene <= endScene && fixture == SelectedFixture)
        SetFixtureChannel(ChosenChannel,
                          SceneLevel(*seq->scenes[CurScene], Fixtures[static_cast<std::size_t>(fixture)], ChosenChannel));
    return true;
}

bool NeedsTimeConversion(const SequenceRecord &seq)
{
    for (int s = 0; s < seq.sceneCount; ++s)
        if (seq.scenes[s]->sceneTime == 0)
            return true;
    return false;
}

void ConvertZeroTimes(SequenceRecord &seq)
{
    for (int s = 0; s < seq.sceneCount; ++s)
        if (seq.scenes[s]->sceneTime == 0)
            seq.scenes[s]->sceneTime = ZeroTimeConversion;
}

void ZoomIn() { ColumnWidth = std::min(64, ColumnWidth * 2); }
void ZoomOut() { ColumnWidth = std::max(2, ColumnWidth / 2); }
void ScalePlus() { ValueScale = std::min(16, ValueScale * 2); }
void ScaleMin() { ValueScale = std::max(1, ValueScale / 2); }
