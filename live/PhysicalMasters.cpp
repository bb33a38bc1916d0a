#include "PhysicalMasters.h"

#include "FixtureArea.h"
#include "LevelPipeline.h"
#include "OutputEngine.h"
#include "PlayControl.h"
#include "PlayState.h"
#include "WindowSeams.h"

#include <algorithm>
#include <cstring>

std::array<MasterChannelList, MasterCount> MasterChannelLists;
std::int32_t SelectedMaster = 0;

namespace {

// Grid and hover colours, 0x00BBGGRR.
constexpr std::uint32_t CellDimmer = 0xFF00FF;
constexpr std::uint32_t CellNormal = 0x008000;
constexpr std::uint32_t CellManual = 0xFF0000;
constexpr std::uint32_t CellLinked = 0x000080;
constexpr std::uint32_t CellHeld = 0x00FFFF;

bool ValidMaster(int m)
{
    return m >= 0 && m < MasterCount;
}

PhysicalMasterRecord &Record(int m)
{
    return PhysicalMasters[static_cast<std::size_t>(m)];
}

int FixturesInUse()
{
    return static_cast<int>(std::min<std::int64_t>(FixtureCount, static_cast<std::int64_t>(Fixtures.size())));
}

// Calls `f(fixtureIndex, channelInFixture, outputChannel)` for every used channel of every
// patched fixture.
template <typename F>
void ForEachUsedChannel(F &&f)
{
    const int count = FixturesInUse();
    for (int i = 0; i < count; ++i) {
        FixtureRecord &fx = Fixtures[static_cast<std::size_t>(i)];
        const int channels = std::min<int>(fx.channelCount, MaxFixtureChannels);
        for (int j = 0; j < channels; ++j) {
            const int c = fx.start + j;
            if (fx.used[j] && c >= 0 && c < MaxChannels)
                f(i, j, c);
        }
    }
}

void SetMasterChannelLevel(int c, int v)
{
    if (IgnoreBlackOut)
        SetChannelLevelIfOpen(c, static_cast<std::uint8_t>(v));
    else
        SetChannelLevel(c, static_cast<std::uint8_t>(v));
}

// The fixture area and the selected fixture's panel show the channel's value.
void RepaintChannel(int fixture, int j)
{
    CallSeam(WindowSeams().repaintFixtureChannel, fixture, j);
    if (fixture == SelectedFixture && FixtureAreaEvents().panelFollows)
        FixtureAreaEvents().panelFollows(j, Fixtures[static_cast<std::size_t>(fixture)].values[j]);
}

// A physical master puts `v` on output channel `c`: the fixture's value, its repaint and
// the channel level.
void DriveChannel(int c, int v)
{
    int f = -1, j = -1;
    if (MasterGridChannel(c, f, j)) {
        Fixtures[static_cast<std::size_t>(f)].values[j] = static_cast<std::uint8_t>(v);
        RepaintChannel(f, j);
    }
    SetMasterChannelLevel(c, v);
}

template <typename F>
void ForEachMasterChannel(int m, F &&f)
{
    const MasterChannelList &list = MasterChannelLists[static_cast<std::size_t>(m)];
    const int count = std::clamp<int>(list.count, 0, MaxChannels);
    for (int k = 0; k < count; ++k) {
        const int c = list.channels[k];
        if (c >= 0 && c < MaxChannels)
            f(c);
    }
}

// Master m's channels take `v`: as their scale for a dimmer, as their value and level
// for a physical master.
void PutLevelOnChannels(int m, int v)
{
    if (IsDimmerMaster(m))
        ForEachMasterChannel(m, [v](int c) { DmxScale[c] = static_cast<std::uint8_t>(v); });
    else
        ForEachMasterChannel(m, [v](int c) { DriveChannel(c, v); });
}

// The input drives master m to `v` (modes 3 and 4): a dimmer's level and scale, a
// physical master's channels.
void PutInputOnMaster(int m, int v)
{
    if (IsDimmerMaster(m))
        Record(m).level = static_cast<std::uint8_t>(v);
    PutLevelOnChannels(m, v);
}

// A fader that input drives follows level `v`; a physical master's channels take it.
void FollowInput(int m, int v)
{
    if (v < 0 || v == Record(m).level)
        return;
    Record(m).level = static_cast<std::uint8_t>(v);
    if (!IsDimmerMaster(m))
        ForEachMasterChannel(m, [v](int c) { SetMasterChannelLevel(c, v); });
}

const char *FunctionSuffix(int function)
{
    static const char *const names[] = {"",         "(Pan)",      "(Tilt)",   "(Color)", "(Gobo)",
                                        "(PanFine)", "(TiltFine)", "(Dimmer)", "(Focus)"};
    return function >= 0 && function <= 8 ? names[function] : "";
}

} // namespace

bool IsDimmerMaster(int master)
{
    return ValidMaster(master) && (Record(master).flags & MasterIsDimmer) != 0;
}

bool FollowsMainMaster(int master)
{
    return ValidMaster(master) && (Record(master).flags & MasterFollowsMain) != 0;
}

int EffectiveMasterLevel(int master)
{
    if (master < 0 || master > MainMaster)
        return 0;
    const int v = Record(master).level;
    return FollowsMainMaster(master) ? v * Record(MainMaster).level / 255 : v;
}

bool MasterGridChannel(int c, int &fixture, int &channel)
{
    if (c < 0 || c >= MaxChannels)
        return false;
    const int count = FixturesInUse();
    for (int i = 0; i < count; ++i) {
        const FixtureRecord &fx = Fixtures[static_cast<std::size_t>(i)];
        const int j = c - fx.start;
        if (j >= 0 && j < std::min<int>(fx.channelCount, MaxFixtureChannels) && fx.used[j]) {
            fixture = i;
            channel = j;
            return true;
        }
    }
    return false;
}

void RebuildMasterChannelLists()
{
    std::uint8_t old[MaxChannels];
    std::memcpy(old, PhysMasterMap, sizeof old);
    std::memset(PhysMasterMap, NoMaster, sizeof PhysMasterMap);
    ForEachUsedChannel([&old](int f, int j, int c) {
        const int m = old[c];
        if (!ValidMaster(m))
            return;   // 255, or an entry no master has
        if (Fixtures[static_cast<std::size_t>(f)].states[j] == HeldByMaster || IsDimmerMaster(m))
            PhysMasterMap[c] = static_cast<std::uint8_t>(m);
    });
    for (MasterChannelList &list : MasterChannelLists)
        list.count = 0;
    for (int c = 0; c < MaxChannels; ++c) {
        const int m = PhysMasterMap[c];
        if (!ValidMaster(m))
            continue;
        MasterChannelList &list = MasterChannelLists[static_cast<std::size_t>(m)];
        list.channels[list.count++] = static_cast<std::int16_t>(c);
    }
}

void ApplyMasterLevel(int master)
{
    if (ValidMaster(master))
        PutLevelOnChannels(master, EffectiveMasterLevel(master));
}

void MasterFaderChange(int master, int v)
{
    if (master < 0 || master > MainMaster)
        return;
    Record(master).level = static_cast<std::uint8_t>(std::clamp(v, 0, 255));
    if (master != MainMaster) {
        ApplyMasterLevel(master);
        return;
    }
    for (int m = 0; m < MasterCount; ++m)
        if (FollowsMainMaster(m))
            ApplyMasterLevel(m);
}

void ReapplyAllMasterLevels()
{
    for (int m = 0; m <= MainMaster; ++m)
        MasterFaderChange(m, Record(m).level);
}

void BumpMasterDown(int master)
{
    if (master < 0 || master > MainMaster)
        return;
    Record(master).savedLevel = Record(master).level;
    MasterFaderChange(master, 255);
}

void BumpMasterUp(int master)
{
    if (master >= 0 && master <= MainMaster)
        MasterFaderChange(master, Record(master).savedLevel);
}

bool ToggleMasterChannel(int master, int cell)
{
    int f = -1, j = -1;
    if (!ValidMaster(master) || !MasterGridChannel(cell, f, j))
        return false;
    std::uint8_t &state = Fixtures[static_cast<std::size_t>(f)].states[j];
    std::uint8_t &map = PhysMasterMap[cell];
    const auto m = static_cast<std::uint8_t>(master);
    if (!IsDimmerMaster(master)) {
        if (state == HeldByMaster && map == m) {
            state = 0;
            map = NoMaster;
        } else {
            state = HeldByMaster;
            map = m;
        }
        DmxScale[cell] = 255;
    } else if (state == HeldByMaster) {
        state = 0;
        map = m;
        DmxScale[cell] = static_cast<std::uint8_t>(EffectiveMasterLevel(master));
    } else if (map == m) {
        map = NoMaster;
        DmxScale[cell] = 255;
    } else {
        map = m;
        DmxScale[cell] = static_cast<std::uint8_t>(EffectiveMasterLevel(master));
    }
    RebuildMasterChannelLists();
    return true;
}

void ClearAllMasters()
{
    // While a scene is edited and nothing plays, released channels take its level back.
    const SceneRecord *scene = nullptr;
    if (!Playing.load() && CurSequence >= 0 && CurSequence < SequenceCount && CurSequence < MaxSequences) {
        const SequenceRecord *seq = Sequences[static_cast<std::size_t>(CurSequence)];
        if (seq && CurScene >= 0 && CurScene < seq->sceneCount && CurScene < MaxScenes)
            scene = seq->scenes[static_cast<std::size_t>(CurScene)];
    }
    const int count = FixturesInUse();
    for (int i = 0; i < count; ++i) {
        FixtureRecord &fx = Fixtures[static_cast<std::size_t>(i)];
        for (int j = 0; j < std::min<int>(fx.channelCount, MaxFixtureChannels); ++j) {
            if (fx.states[j] != HeldByMaster)
                continue;
            fx.states[j] = 0;
            const int c = fx.start + j;
            if (scene && c >= 0 && c < MaxChannels)
                fx.values[j] = scene->levels[c];
        }
    }
    std::memset(PhysMasterMap, NoMaster, sizeof PhysMasterMap);
    std::memset(DmxScale, 255, sizeof DmxScale);
    RebuildMasterChannelLists();
}

void SetMasterKind(int master, bool dimmer)
{
    if (!ValidMaster(master))
        return;
    PhysicalMasterRecord &r = Record(master);
    r.flags = static_cast<std::uint8_t>(dimmer ? (r.flags | MasterIsDimmer) : (r.flags & ~MasterIsDimmer));
    ForEachMasterChannel(master, [dimmer](int c) {
        int f = -1, j = -1;
        if (MasterGridChannel(c, f, j))
            Fixtures[static_cast<std::size_t>(f)].states[j] = dimmer ? 0 : HeldByMaster;
        if (!dimmer)
            DmxScale[c] = 255;
    });
    RebuildMasterChannelLists();
}

int SearchFreeDimmerChannels(int master)
{
    if (!ValidMaster(master))
        return 0;
    const bool physical = !IsDimmerMaster(master);
    int found = 0;
    ForEachUsedChannel([&](int f, int j, int c) {
        FixtureRecord &fx = Fixtures[static_cast<std::size_t>(f)];
        if (FunctionOf(fx, j) != FunctionDimmer || ValidMaster(PhysMasterMap[c]) || fx.states[j] == HeldByMaster)
            return;
        // Assigned as a grid click assigns: held by a physical master, limited by a dimmer.
        PhysMasterMap[c] = static_cast<std::uint8_t>(master);
        if (physical)
            fx.states[j] = HeldByMaster;
        else
            DmxScale[c] = static_cast<std::uint8_t>(EffectiveMasterLevel(master));
        ++found;
    });
    RebuildMasterChannelLists();
    return found;
}

std::array<bool, MasterCount + 1> MastersDrivenByInput()
{
    std::array<bool, MasterCount + 1> driven{};
    const int count = std::clamp<int>(InputFunctionCount, 0, MaxInputFunctions);
    for (int i = 0; i < count; ++i) {
        const InputFunctionEntry &e = InputFunctions[static_cast<std::size_t>(i)];
        if (e.kind == 1 && e.index <= MainMaster)
            driven[e.index] = true;
    }
    return driven;
}

int MasterInputLevel(int master)
{
    const int count = std::clamp<int>(InputFunctionCount, 0, MaxInputFunctions);
    for (int i = 0; i < count && i < MaxInputChannels; ++i) {
        const InputFunctionEntry &e = InputFunctions[static_cast<std::size_t>(i)];
        if (e.kind == 1 && e.index == master)
            return DmxInLevels[i];
    }
    return -1;
}

bool MasterInputStep()
{
    if (DmxInMode == 3) {
        for (int m = 0; m < MasterCount; ++m)
            FollowInput(m, DmxInLevels[m]);
        return true;
    }
    if (DmxInMode != 4)
        return false;
    const auto driven = MastersDrivenByInput();
    if (driven[MainMaster]) {
        for (int m = 0; m < MasterCount; ++m)
            if (FollowsMainMaster(m) && !IsDimmerMaster(m))
                ForEachMasterChannel(m, [](int c) {
                    int f = -1, j = -1;
                    if (MasterGridChannel(c, f, j))
                        RepaintChannel(f, j);
                });
    }
    for (int m = 0; m < MasterCount; ++m)
        if (driven[static_cast<std::size_t>(m)])
            FollowInput(m, MasterInputLevel(m));
    return true;
}

void ApplyInputToMasters()
{
    if (DmxInEnabled && DmxInMode == 3) {
        ForEachUsedChannel([](int f, int j, int c) {
            FixtureRecord &fx = Fixtures[static_cast<std::size_t>(f)];
            const int m = PhysMasterMap[c];
            if (!ValidMaster(m) || fx.states[j] != HeldByMaster)
                return;
            fx.values[j] = DmxInLevels[m];
            RepaintChannel(f, j);
            SetMasterChannelLevel(c, DmxInLevels[m]);
        });
        MasterInputStep();
        return;
    }
    const bool remote = DmxInEnabled && DmxInMode == 4;
    const auto driven = remote ? MastersDrivenByInput() : std::array<bool, MasterCount + 1>{};
    for (int m = 0; m < MasterCount; ++m) {
        if (driven[static_cast<std::size_t>(m)])
            MasterFaderChange(m, Record(m).level);
        else
            ApplyMasterLevel(m);
    }
    if (remote)
        MasterInputStep();
}

bool HandleMasterInput(std::uintptr_t wParam, std::intptr_t lParam)
{
    // The mode decides: mode 3's notice and mode 4's master 0 share wParam 0.
    if (DmxInMode == 3) {
        for (int m = 0; m < MasterCount; ++m)
            PutInputOnMaster(m, DmxInLevels[m]);
        return true;
    }
    if (DmxInMode != 4 || wParam > static_cast<std::uintptr_t>(MainMaster) || lParam < 0 ||
        lParam >= MaxInputChannels)
        return false;
    const int master = static_cast<int>(wParam);
    const int v = DmxInLevels[lParam];
    if (master == MainMaster)
        MasterFaderChange(MainMaster, v);
    else
        PutInputOnMaster(master, v);
    return true;
}

MasterControlStates ApplyMasterControlStates()
{
    MasterControlStates s;
    std::array<bool, MasterCount + 1> locked{};
    if (DmxInMode == 3) {
        locked.fill(true);
        s.mainLabelEnabled = false;
    } else if (DmxInMode == 4) {
        locked = MastersDrivenByInput();
    } else {
        return s;
    }
    s.timerRuns = true;
    for (int m = 0; m <= MainMaster; ++m) {
        if (!locked[static_cast<std::size_t>(m)])
            continue;
        s.masters[static_cast<std::size_t>(m)] = MasterControlState{false, false};
        if (m < MasterCount)
            Record(m).flags = static_cast<std::uint8_t>(Record(m).flags & ~MasterFollowsMain);
    }
    return s;
}

MasterCellLook MasterCellLookOf(int c)
{
    MasterCellLook look;
    int f = -1, j = -1;
    if (!MasterGridChannel(c, f, j))
        return look;
    const FixtureRecord &fx = Fixtures[static_cast<std::size_t>(f)];
    const int m = PhysMasterMap[c];
    const bool dimmer = IsDimmerMaster(m);
    look.filled = true;
    look.firstChannel = j == 0;
    switch (fx.states[j]) {
    case 1:
        look.colour = CellManual;
        break;
    case 2:
        look.colour = CellLinked;
        break;
    case HeldByMaster:
        look.colour = CellHeld;
        break;
    default:
        look.colour = dimmer ? CellDimmer : CellNormal;
        break;
    }
    if (ValidMaster(m) && (fx.states[j] == HeldByMaster || dimmer))
        look.number = m + 1;
    return look;
}

std::string MasterCellChannelText(int c)
{
    if (c < 0 || c >= MaxChannels)
        return {};
    // The channel within its output, as the grid has always counted it (cell 645 reads
    // "133 OUT2").
    return std::to_string(c % MaxInputChannels) + " OUT" + std::to_string(c / MaxInputChannels + 1);
}

std::string MasterCellFixtureText(int c)
{
    int f = -1, j = -1;
    if (!MasterGridChannel(c, f, j))
        return "Empty";
    const FixtureRecord &fx = Fixtures[static_cast<std::size_t>(f)];
    return FixtureName(fx) + " - Ch" + std::to_string(j + 1) + FunctionSuffix(FunctionOf(fx, j));
}
