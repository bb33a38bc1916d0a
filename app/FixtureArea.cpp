#include "FixtureArea.h"

#include "EngineHold.h"
#include "LevelPipeline.h"
#include "OutputEngine.h"
#include "PatchLoader.h"
#include "PlayControl.h"
#include "PlayState.h"
#include "SceneFixtures.h"
#include "SequenceEditing.h"
#include "ShowFile.h"
#include "StartupState.h"
#include "WindowSeams.h"

#include "platform/MsgBox.h"

#include <algorithm>
#include <cstring>
#include <new>

std::int32_t SelectedChannel = 0;
std::uint8_t MasterLinkActive = 0;
std::uint8_t SelectingFixture = 0;
std::uint8_t SettingChannel = 0;
std::uint8_t SoloOn = 0;
std::uint8_t UserMasterStates[MaxFixtureChannels] = {};
std::int32_t FixtureAreaPage = 0;
std::int32_t LinkMode = LinkFull;

std::int32_t DeviceSequenceType = -1;
std::int32_t DeviceSequenceSceneCount = 0;
std::vector<std::uint8_t> DeviceSequenceValues;
SceneRange DeviceSequenceRange;
FixtureSceneClip FixtureSceneClipboard;

namespace {

const char *const AppCaption = "Brantoval-1024";

int ChannelsOf(const FixtureRecord &f)
{
    return std::min<int>(f.channelCount, MaxFixtureChannels);
}

FixtureRecord &FixtureAt(int i)
{
    return Fixtures[static_cast<std::size_t>(i)];
}

void Repaint(int fixture, int channel)
{
    if (WindowSeams().repaintFixtureChannel)
        WindowSeams().repaintFixtureChannel(fixture, channel);
}

void PanelFollows(int channel, int value)
{
    if (FixtureAreaEvents().panelFollows)
        FixtureAreaEvents().panelFollows(channel, value);
}

bool Ask(const std::string &text)
{
    return platform::MessageBox(AppCaption, text, platform::Buttons::YesNo) == platform::Answer::Yes;
}

// Channel counts taken away by solo, restored when the device type is unknown.
std::vector<std::uint8_t> &SoloSavedCounts()
{
    static std::vector<std::uint8_t> counts;
    return counts;
}

struct ReentryGuard {
    explicit ReentryGuard(std::uint8_t &flag) : flag_(flag) { flag_ = 1; }
    ~ReentryGuard() { flag_ = 0; }
    std::uint8_t &flag_;
};

// The link rule: every other fixture of F's type whose channel j is linked follows v;
// position channels keep their offset to F. Then F's own value.
void ApplyLinkRule(int fi, int j, std::uint8_t v, bool background)
{
    FixtureRecord &F = FixtureAt(fi);
    for (int gi = 0; gi < FixtureCount; ++gi) {
        if (gi == fi)
            continue;
        FixtureRecord &G = FixtureAt(gi);
        if (G.deviceType != F.deviceType || j >= ChannelsOf(G) || G.states[j] != 2)
            continue;
        int w = v;
        const int slot = RolesOf(G).PositionSlot(j);
        if (slot >= 0)
            w = std::clamp(v + PositionOffset(G, slot) - PositionOffset(F, slot), 0, 255);
        if (G.values[j] == w)
            continue;
        G.values[j] = static_cast<std::uint8_t>(w);
        Repaint(gi, j);
        const int gc = G.start + j;
        if (!background && gc >= 0 && gc < MaxChannels)
            SetChannelLevel(gc, static_cast<std::uint8_t>(w));
    }
}

// F's own channel: value, repaint, output (stored into the scene in background play),
// panel follows.
void OwnChange(int fi, int j, std::uint8_t v, bool background, bool output)
{
    FixtureRecord &F = FixtureAt(fi);
    if (F.values[j] == v)
        return;
    F.values[j] = v;
    Repaint(fi, j);
    if (background)
        FixturesToScene();
    if (output)
        SetChannelLevel(F.start + j, v);
    PanelFollows(j, v);
}

} // namespace

FixtureAreaHooks &FixtureAreaEvents()
{
    static FixtureAreaHooks hooks;
    return hooks;
}

int ChannelRoles::PositionSlot(int channel) const
{
    if (channel < 0)
        return -1;
    if (channel == pan)
        return 0;
    if (channel == tilt)
        return 1;
    if (channel == panFine)
        return 2;
    if (channel == tiltFine)
        return 3;
    return -1;
}

int FunctionOf(const FixtureRecord &f, int j)
{
    if (f.deviceType < 0 || f.deviceType >= DeviceTypeCount || j < 0 || j >= MaxFixtureChannels)
        return 0;
    return DeviceTypes[static_cast<std::size_t>(f.deviceType)].functions[j];
}

ChannelRoles RolesOf(const FixtureRecord &f)
{
    ChannelRoles r;
    for (int j = 0; j < ChannelsOf(f); ++j) {
        if (f.used[j] != 1)
            continue;
        switch (FunctionOf(f, j)) {
        case FunctionPan: r.pan = j; break;
        case FunctionTilt: r.tilt = j; break;
        case FunctionPanFine: r.panFine = j; break;
        case FunctionTiltFine: r.tiltFine = j; break;
        default: break;
        }
    }
    return r;
}

std::uint8_t &PositionOffset(FixtureRecord &f, int slot)
{
    switch (slot) {
    case 0: return f.groupPan;
    case 1: return f.groupTilt;
    case 2: return f.groupPanFine;
    default: return f.groupTiltFine;
    }
}

bool FixtureIndexValid(int fixture)
{
    return fixture >= 0 && fixture < FixtureCount && fixture < static_cast<int>(Fixtures.size());
}

std::string FixtureName(const FixtureRecord &f)
{
    if (!f.userHeader.empty() || !f.deviceName)
        return f.userHeader;
    return *f.deviceName;
}

std::string FixtureHeaderText(int fixture)
{
    if (!FixtureIndexValid(fixture))
        return {};
    const FixtureRecord &f = FixtureAt(fixture);
    std::string text = "#";
    text += std::to_string(f.start + 1);
    text += " \"";
    text += FixtureName(f);
    text += '"';
    return text;
}

std::uint32_t StateColour(std::uint8_t state)
{
    switch (state) {
    case 0: return 0x008000;   // green
    case 1: return 0xFF0000;   // blue
    case 2: return 0x000080;   // maroon
    case 3: return 0x00FFFF;   // yellow
    default: return 0xC0C0C0;  // silver
    }
}

std::uint32_t FixtureColour(int fixture)
{
    if (!FixtureIndexValid(fixture))
        return 0x008000;
    const FixtureRecord &f = FixtureAt(fixture);
    const bool selected = fixture == SelectedFixture;
    std::uint32_t colour = selected ? 0x00FF00 : 0x008000;   // lime / green
    for (int j = 0; j < ChannelsOf(f); ++j)
        if (f.states[j] == 2)
            colour = selected ? 0x0000FF : 0x000080;           // red / maroon
    if (f.states[0] == 1)
        colour = selected ? 0xFFFF00 : 0xFF0000;               // aqua / blue
    return colour;
}

int FirstState(const FixtureRecord &f)
{
    for (int j = 0; j < ChannelsOf(f); ++j)
        if (f.states[j] != 0)
            return f.states[j];
    return 0;
}

bool AnyChannelInState(std::uint8_t state)
{
    for (int i = 0; i < FixtureCount && i < static_cast<int>(Fixtures.size()); ++i) {
        const FixtureRecord &f = FixtureAt(i);
        for (int j = 0; j < ChannelsOf(f); ++j)
            if (f.states[j] == state)
                return true;
    }
    return false;
}

void RefreshMasterLinkActive()
{
    MasterLinkActive = AnyChannelInState(2) ? 1 : 0;
}

// ---- one channel of the selected fixture ---------------------------------------------------

void SetFixtureChannel(int j, int value)
{
    if (SettingChannel || !FixtureIndexValid(SelectedFixture))
        return;
    const int fi = SelectedFixture;
    FixtureRecord &F = FixtureAt(fi);
    if (j < 0 || j >= ChannelsOf(F) || F.start + j < 0 || F.start + j >= MaxChannels)
        return;
    ReentryGuard guard(SettingChannel);
    const std::uint8_t v = static_cast<std::uint8_t>(std::clamp(value, 0, 255));
    const bool background = PlayInBackground.load() != 0;
    const bool playing = !background && (Playing.load() || MultiSeqRunning.load());
    const int c = F.start + j;
    const std::uint8_t state = F.states[j];

    if (state == 0) {
        if (playing)
            return;   // the player owns the channel
        if (background) {
            F.values[j] = v;
            Repaint(fi, j);
            if (SceneRecord *scene = CurrentSceneRecord())
                scene->levels[c] = v;
            PanelFollows(j, v);
            ShowModified = 1;
            return;
        }
        if (F.values[j] == v)
            return;
        F.values[j] = v;
        Repaint(fi, j);
        SetChannelLevel(c, v);
        PanelFollows(j, v);
        ShowModified = 1;
        return;
    }
    if (state == 2 && (playing || !SoloOn)) {
        if (!playing)
            ShowModified = 1;
        ApplyLinkRule(fi, j, v, background);
        OwnChange(fi, j, v, background, !background);
        return;
    }
    // Manual and held channels (and linked ones while soloed): the operator's own level.
    // The player never writes them, so they reach the output in background play too.
    OwnChange(fi, j, v, background, true);
}

// ---- channel states ------------------------------------------------------------------------

void ClickFixtureStates(int fixture, int kind)
{
    if (!FixtureIndexValid(fixture))
        return;
    FixtureRecord &f = FixtureAt(fixture);
    const int n = ChannelsOf(f);
    const int e = FirstState(f);
    if (kind == 2) {
        for (int j = 0; j < n; ++j)
            f.states[j] = e == 1 ? 0 : (f.used[j] ? 1 : f.states[j]);
    } else if (kind == 1) {
        if (e == 2) {
            for (int j = 0; j < n; ++j)
                f.states[j] = 0;
        } else {
            const ChannelRoles roles = RolesOf(f);
            const bool position[] = {roles.HasPanTilt(), roles.HasPanTilt(), roles.HasFine(), roles.HasFine()};
            const int channelOf[] = {roles.pan, roles.tilt, roles.panFine, roles.tiltFine};
            switch (LinkMode) {
            case LinkFull:
                for (int j = 0; j < n; ++j)
                    if (f.used[j])
                        f.states[j] = 2;
                for (int s = 0; s < 4; ++s)
                    if (position[s])
                        PositionOffset(f, s) = 0;
                break;
            case LinkColorOnly:
                for (int j = 0; j < n; ++j)
                    if (f.used[j] && FunctionOf(f, j) == FunctionColor)
                        f.states[j] = 2;
                break;
            case LinkExPanTilt:
                for (int j = 0; j < n; ++j)
                    if (f.used[j] && roles.PositionSlot(j) < 0)
                        f.states[j] = 2;
                break;
            case LinkPanTiltOnly:
                for (int s = 0; s < 4; ++s)
                    if (position[s]) {
                        PositionOffset(f, s) = f.values[channelOf[s]];
                        f.states[channelOf[s]] = 2;
                    }
                break;
            default:
                break;   // User Red Master edits the states in its own frame
            }
        }
    }
    RefreshMasterLinkActive();
}

void AllStatesOff(std::uint8_t state)
{
    for (int i = 0; i < FixtureCount && i < static_cast<int>(Fixtures.size()); ++i) {
        FixtureRecord &f = FixtureAt(i);
        for (int j = 0; j < ChannelsOf(f); ++j)
            if (f.states[j] == state)
                f.states[j] = 0;
    }
    RefreshMasterLinkActive();
}

void MasterGroupOff(int fixture)
{
    if (!FixtureIndexValid(fixture))
        return;
    const int type = FixtureAt(fixture).deviceType;
    for (int i = 0; i < FixtureCount; ++i) {
        FixtureRecord &f = FixtureAt(i);
        if (f.deviceType != type)
            continue;
        for (int j = 0; j < ChannelsOf(f); ++j)
            if (f.states[j] == 2)
                f.states[j] = 0;
    }
    RefreshMasterLinkActive();
}

void LoadUserMasterStates(int fixture)
{
    std::memset(UserMasterStates, 0, sizeof UserMasterStates);
    if (FixtureIndexValid(fixture))
        std::memcpy(UserMasterStates, FixtureAt(fixture).states, MaxFixtureChannels);
}

void ToggleUserMasterState(int channel)
{
    if (channel < 0 || channel >= MaxFixtureChannels)
        return;
    std::uint8_t &s = UserMasterStates[channel];
    if (s == 2)
        s = 0;
    else if (s == 0 || s == 1 || s == 4)
        s = 2;
}

void ApplyUserMasterStates(int fixture)
{
    if (!FixtureIndexValid(fixture))
        return;
    FixtureRecord &f = FixtureAt(fixture);
    std::memcpy(f.states, UserMasterStates, static_cast<std::size_t>(ChannelsOf(f)));
    RefreshMasterLinkActive();
}

// ---- solo ----------------------------------------------------------------------------------

void SoloSwitchOn(int fixture)
{
    if (SoloOn || !FixtureIndexValid(fixture))
        return;
    SoloOn = 1;
    ApplyBlackOutLevels(false);
    EngineBusyGuard busy;
    auto &saved = SoloSavedCounts();
    saved.assign(static_cast<std::size_t>(FixtureCount), 0);
    for (int i = 0; i < FixtureCount; ++i) {
        saved[static_cast<std::size_t>(i)] = FixtureAt(i).channelCount;
        if (i != fixture)
            FixtureAt(i).channelCount = 0;
    }
}

void SoloSwitchOff()
{
    if (!SoloOn)
        return;
    EngineBusyGuard busy;
    const auto &saved = SoloSavedCounts();
    for (int i = 0; i < FixtureCount; ++i) {
        FixtureRecord &f = FixtureAt(i);
        if (f.deviceType >= 0 && f.deviceType < DeviceTypeCount)
            f.channelCount = static_cast<std::uint8_t>(
                std::clamp<int>(DeviceTypes[static_cast<std::size_t>(f.deviceType)].channelCount, 1, MaxFixtureChannels));
        else if (i < static_cast<int>(saved.size()))
            f.channelCount = saved[static_cast<std::size_t>(i)];
    }
    SoloOn = 0;
}

void EndSolo()
{
    if (!SoloOn)
        return;
    SoloSwitchOff();
    if (FixtureAreaEvents().soloEnded)
        FixtureAreaEvents().soloEnded();
}

// ---- removal -------------------------------------------------------------------------------

bool RemoveFixture(int fixture)
{
    if (AccessLevel != 0 || !FixtureIndexValid(fixture))
        return false;
    if (!Ask("Remove this fixture,\r\nAre you sure?"))
        return false;
    EndSolo();
    // The values editor's undo block names fixtures by index.
    UndoBlockValid = 0;
    // The fixture table and the channel maps the tick reads close up.
    HoldEngine hold;
    FixtureWindowHooks &windows = FixtureWindows();
    FixtureRecord &f = FixtureAt(fixture);
    if (windows.freePlanWidgets)
        windows.freePlanWidgets(fixture);
    f.planIcon = nullptr;
    f.planLabel = nullptr;
    for (int l = 0; l < ChannelsOf(f); ++l) {
        const int c = f.start + l;
        if (c < 0 || c >= MaxChannels)
            continue;
        if (ChannelOffValues[c] != -1)
            SetChannelLevel(c, static_cast<std::uint8_t>(std::clamp<int>(ChannelOffValues[c], 0, 255)));
        PhysMasterMap[c] = 255;
        // Groups forget the freed channel, so the next fixture placed there joins none.
        for (int g = 0; g < GroupCount && g < static_cast<int>(Groups.size()); ++g)
            Groups[static_cast<std::size_t>(g)].layers[0][c] = 0;
        FadeKind[c] = FadeJump;
        // The channel no longer belongs to a fixture: black-out leaves it alone.
        ChannelOffValues[c] = -1;
    }
    std::memset(f.states, 0, sizeof f.states);
    f.channelCount = 0;
    TDesign *panel = f.panel;
    bool shared = false;
    for (int i = 0; i < FixtureCount; ++i)
        if (i != fixture && FixtureAt(i).panel == panel)
            shared = true;
    if (panel && !shared && windows.freePanel)
        windows.freePanel(panel);
    Fixtures.erase(Fixtures.begin() + fixture);
    FixtureCount -= 1;

    // The maps still named the removed fixture and every later index was one off.
    BuildChannelMaps();
    if (auto &setTag = FixtureAreaEvents().setPlanTag)
        for (int i = fixture; i < FixtureCount; ++i) {
            if (FixtureAt(i).planIcon)
                setTag(FixtureAt(i).planIcon, i);
            if (FixtureAt(i).planLabel)
                setTag(FixtureAt(i).planLabel, i);
        }
    if (ShowFileEvents().rebuildMasterChannelLists)
        ShowFileEvents().rebuildMasterChannelLists();
    if (SelectedFixture >= FixtureCount)
        SelectedFixture = FixtureCount > 0 ? 0 : -1;
    RefreshMasterLinkActive();
    ShowModified = 1;
    return true;
}

// ---- clipboards ----------------------------------------------------------------------------

bool FixtureClipboardAllowed()
{
    return AccessLevel <= 1 && !Playing.load() && !MasterLinkActive;
}

namespace {
// The common start of the clipboard commands: the fixtures go into the scene first.
bool ClipboardStart(int fixture)
{
    if (!FixtureClipboardAllowed())
        return false;
    FixturesToScene();
    return FixtureIndexValid(fixture) && CurrentSceneRecord() != nullptr;
}

SceneRange ClampedRange(SceneRange r, const SequenceRecord &seq)
{
    r.first = std::max(r.first, 0);
    r.last = std::min<int>(r.last, seq.sceneCount - 1);
    return r;
}
} // namespace

bool CopyFixtureScene(int fixture)
{
    if (!ClipboardStart(fixture))
        return false;
    const FixtureRecord &f = FixtureAt(fixture);
    FixtureSceneClipboard.type = f.deviceType;
    FixtureSceneClipboard.count = ChannelsOf(f);
    std::memcpy(FixtureSceneClipboard.values, f.values, MaxFixtureChannels);
    return true;
}

bool PasteFixtureScene(int fixture)
{
    if (!ClipboardStart(fixture) || FixtureSceneClipboard.type < 0)
        return false;
    FixtureRecord &f = FixtureAt(fixture);
    if (FixtureSceneClipboard.type != f.deviceType && !Ask("Inserting SCENE from another device,\r\nAre You sure ?"))
        return false;
    const int n = std::min(FixtureSceneClipboard.count, ChannelsOf(f));
    std::memcpy(f.values, FixtureSceneClipboard.values, static_cast<std::size_t>(n));
    ShowModified = 1;
    return true;
}

bool CopyFixtureSequence(int fixture, SceneRange range)
{
    if (!ClipboardStart(fixture))
        return false;
    const SequenceRecord &seq = *CurrentSequenceRecord();
    range = ClampedRange(range, seq);
    if (range.last < range.first)
        return false;
    const FixtureRecord &f = FixtureAt(fixture);
    const int scenes = range.last - range.first + 1;
    const int n = ChannelsOf(f);
    try {
        DeviceSequenceValues.assign(static_cast<std::size_t>(scenes) * static_cast<std::size_t>(n), 0);
    } catch (const std::bad_alloc &) {
        ShowFileEvents().memoryAllocationError();
        return false;
    }
    for (int i = 0; i < n; ++i)
        for (int k = 0; k < scenes; ++k) {
            const int c = f.start + i;
            const SceneRecord *scene = seq.scenes[range.first + k];
            DeviceSequenceValues[static_cast<std::size_t>(i * scenes + k)] =
                scene && c < MaxChannels ? scene->levels[c] : 0;
        }
    DeviceSequenceType = f.deviceType;
    DeviceSequenceSceneCount = scenes;
    DeviceSequenceRange = range;
    return true;
}

bool PasteFixtureSequence(int fixture, SceneRange range)
{
    if (!ClipboardStart(fixture) || DeviceSequenceType < 0 || DeviceSequenceSceneCount <= 0)
        return false;
    FixtureRecord &f = FixtureAt(fixture);
    if (DeviceSequenceType != f.deviceType && !Ask("Inserting SEQUENCE from another device,\r\nAre You sure ?"))
        return false;
    SequenceRecord &seq = *CurrentSequenceRecord();
    const int stored = DeviceSequenceSceneCount;
    const int sourceChannels = static_cast<int>(DeviceSequenceValues.size()) / stored;
    const int n = std::min(sourceChannels, ChannelsOf(f));
    for (int i = 0; i < n; ++i) {
        const int c = f.start + i;
        if (c >= MaxChannels)
            break;
        // Each channel reads its own run of stored values; a run that ends stops the channel.
        for (int j = std::max(range.first, 0), k = 0; j <= range.last && j < seq.sceneCount && k < stored; ++j, ++k) {
            SceneRecord *scene = seq.scenes[j];
            if (!scene)
                continue;
            scene->levels[c] = DeviceSequenceValues[static_cast<std::size_t>(i * stored + k)];
            if (j == CurScene)
                f.values[i] = scene->levels[c];
        }
    }
    DeviceSequenceRange = range;
    ShowModified = 1;
    return true;
}

// ---- joystick ------------------------------------------------------------------------------

bool JoystickAxisValue(int pos, int min, int max, int &value)
{
    const long long range = static_cast<long long>(max) - min;
    if (range < 256)
        return false;
    value = static_cast<int>(std::clamp<long long>((static_cast<long long>(pos) - min) / (range / 256), 0, 255));
    return true;
}

// ---- position memory -----------------------------------------------------------------------

bool HasPanTiltFixture()
{
    for (int i = 0; i < FixtureCount && i < static_cast<int>(Fixtures.size()); ++i)
        if (RolesOf(FixtureAt(i)).HasPanTilt())
            return true;
    return false;
}

bool CreatePositionMemory()
{
    if (PositionMemoryPresent)
        return false;
    if (!HasPanTiltFixture()) {
        platform::ShowMessage(AppCaption, "You have no one Device with Pan/Tilt control");
        return false;
    }
    PositionScenes.assign(1, PositionScene{});
    PositionSceneCount = 1;
    PositionMemoryPresent = 1;
    ShowModified = 1;
    return true;
}

bool RemovePositionMemory()
{
    if (!Ask("Clear all Position Memory Assignment\r\nAre you sure ?"))
        return false;
    for (int s = 0; s < SequenceCount && s < MaxSequences; ++s) {
        SequenceRecord *seq = Sequences[static_cast<std::size_t>(s)];
        if (!seq)
            continue;
        for (int k = 0; k < seq->sceneCount && k < MaxScenes; ++k)
            if (seq->scenes[k])
                seq->scenes[k]->positionRef = 0;
    }
    PositionScenes.clear();
    PositionSceneCount = 0;
    PositionMemoryPresent = 0;
    ShowModified = 1;
    return true;
}

bool SetPositionReference(int number)
{
    SceneRecord *scene = CurrentSceneRecord();
    if (!scene || number < 0 || number > 255)
        return false;
    scene->positionRef = static_cast<std::uint8_t>(number);
    ShowModified = 1;
    return true;
}
