// The fixture area without windows: the selected fixture's channels and the rules that
// decide what a change does in each play situation, channel states (manual, linked to
// the selected fixture of the same type), solo, removal of a fixture, the fixture scene
// and sequence clipboards, the joystick mapping and the position-memory references.
#pragma once

#include "ShowModel.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QWidget;

extern std::int32_t SelectedChannel;       // channel within the selected fixture shown in the editor
extern std::uint8_t MasterLinkActive;      // some channel is master-linked (state 2)
extern std::uint8_t SelectingFixture;      // set while the output is refreshed: selections are ignored
extern std::uint8_t SettingChannel;        // re-entry guard of SetFixtureChannel
extern std::uint8_t SoloOn;                // one fixture is soloed
extern std::uint8_t UserMasterStates[MaxFixtureChannels];
extern std::int32_t FixtureAreaPage;       // 0 Monitor, 1 Sliders, 2 Plan

// Which channels a Ctrl-click links.
enum LinkModes { LinkFull = 0, LinkColorOnly = 1, LinkExPanTilt = 2, LinkPanTiltOnly = 3, LinkUserRed = 4 };
extern std::int32_t LinkMode;

// The device-sequence clipboard: one fixture's levels over a range of scenes, stored
// channel-major (all scenes of channel 0, then channel 1, ...).
extern std::int32_t DeviceSequenceType;          // -1 nothing copied
extern std::int32_t DeviceSequenceSceneCount;
extern std::vector<std::uint8_t> DeviceSequenceValues;
struct SceneRange {
    int first = 0;
    int last = -1;
};
extern SceneRange DeviceSequenceRange;

// Channel functions of a profile.
constexpr std::uint8_t FunctionPan = 1, FunctionTilt = 2, FunctionColor = 3, FunctionGobo = 4,
                       FunctionPanFine = 5, FunctionTiltFine = 6, FunctionDimmer = 7, FunctionFocus = 8;

// The pan, tilt and fine channels of a fixture (within the fixture, -1 absent): the
// last used channel of each function, as the fixture's panel finds them.
struct ChannelRoles {
    int pan = -1, tilt = -1, panFine = -1, tiltFine = -1;
    bool HasPanTilt() const { return pan >= 0 && tilt >= 0; }
    bool HasFine() const { return panFine >= 0 && tiltFine >= 0; }
    // The position offset slot (0 pan, 1 tilt, 2 pan fine, 3 tilt fine) of `channel`, or -1.
    int PositionSlot(int channel) const;
};
ChannelRoles RolesOf(const FixtureRecord &f);
// The function of channel `j` of the fixture's type, 0 when unknown.
int FunctionOf(const FixtureRecord &f, int j);
// The position offset byte of `slot` (the fixture's group reference bytes).
std::uint8_t &PositionOffset(FixtureRecord &f, int slot);

bool FixtureIndexValid(int fixture);
// The operator's label of the fixture, else its device name.
std::string FixtureName(const FixtureRecord &f);
// The Monitor header of a fixture: "#" and the 1-based start channel, a blank and the
// name in double quotes.
std::string FixtureHeaderText(int fixture);
// The 0x00BBGGRR colour of a channel state's frame and of a fixture's header bar.
std::uint32_t StateColour(std::uint8_t state);
std::uint32_t FixtureColour(int fixture);
// The first non-zero state among the fixture's channels, 0 when none.
int FirstState(const FixtureRecord &f);
bool AnyChannelInState(std::uint8_t state);

// Calls into the windows; every hook may stay empty.
struct FixtureAreaHooks {
    // The selected fixture's panel control of `channel` follows `value`.
    std::function<void(int channel, int value)> panelFollows;
    // Solo ended from outside the fixture area (a save): icons and panels are shown again.
    std::function<void()> soloEnded;
    // Sets the Tag of a plan icon or label.
    std::function<void(QWidget *widget, int tag)> setPlanTag;
};
FixtureAreaHooks &FixtureAreaEvents();

// The one way a control changes channel `j` of the selected fixture to `value`.
void SetFixtureChannel(int j, int value);

// A click on a fixture: kind 1 links (Ctrl), 2 makes manual (Shift), 0 nothing more.
// Brings MasterLinkActive in line with the states.
void ClickFixtureStates(int fixture, int kind);
// Every channel in `state` returns to 0 (manual off: 1, master off: 2).
void AllStatesOff(std::uint8_t state);
// Linked channels of every fixture of `fixture`'s type return to 0.
void MasterGroupOff(int fixture);
void RefreshMasterLinkActive();

// User Red Master: the fixture's states into UserMasterStates, toggling one, writing back.
void LoadUserMasterStates(int fixture);
void ToggleUserMasterState(int channel);
void ApplyUserMasterStates(int fixture);

// Solo of `fixture`: black-out levels out, every other fixture's channel count 0.
void SoloSwitchOn(int fixture);
// Channel counts back from the device types.
void SoloSwitchOff();
// Ends solo when it is on (before anything writes the patch); tells the windows.
void EndSolo();

// Removes a fixture after the question; true when removed. The channel maps, the plan
// widgets' Tags and the physical masters' channel lists follow the closed-up table.
bool RemoveFixture(int fixture);

// Clipboards of one fixture. All are refused at access level above 1, while playing and
// while channels are linked; each stores the fixtures into the current scene first.
bool FixtureClipboardAllowed();
bool CopyFixtureScene(int fixture);
// Asks first when the copied type differs; true when values were pasted.
bool PasteFixtureScene(int fixture);
bool CopyFixtureSequence(int fixture, SceneRange range);
bool PasteFixtureSequence(int fixture, SceneRange range);
// The copied scene (tests).
struct FixtureSceneClip {
    int type = -1;
    int count = 0;
    std::uint8_t values[MaxFixtureChannels] = {};
};
extern FixtureSceneClip FixtureSceneClipboard;

// A joystick axis to 0..255: (pos - min) / ((max - min) / 256), clamped. False (no move)
// when the range is below 256.
bool JoystickAxisValue(int pos, int min, int max, int &value);

// Position memory. Create refuses when it exists or no fixture has pan and tilt (with
// the message); remove asks first. True when something changed.
bool HasPanTiltFixture();
bool CreatePositionMemory();
bool RemovePositionMemory();
// The current scene's reference (0 none); false without a current scene.
bool SetPositionReference(int number);
