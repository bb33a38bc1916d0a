// The catalogue of fixture profiles found in "Devices", the patch loader for the
// configuration file and the head of a show file, the per-channel maps the engine uses,
// and the fixture panels and stage-plan widgets built for the patch.
#pragma once

#include "BinaryStream.h"
#include "Chunk.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TDesign;

constexpr std::uint8_t LoadSetupConfig = 0;   // configuration file: interface kind and trailing chunks
constexpr std::uint8_t LoadSetupShow = 1;     // head of a show file
constexpr std::uint8_t LoadSetupPreview = 2;  // preview only: nothing is changed

extern std::int32_t MaxUsedChannel;    // highest used channel within a fixture, 1-based
extern std::int32_t DesignCount;       // fixture types in use (fixtures that own their panel)
extern std::uint8_t LoadedSetupVersion;  // format version of the last header LoadSetup read

// The folder of the profiles: ProgramFolder + "Devices/".
std::string DevicesFolder();
// The path of a profile on disk, its catalogue name matched without regard to case.
std::string DeviceProfilePath(const std::string &profileFileName);

// Fills DeviceTypes from the "*.dsp" files of "Devices", sorted by device name.
// Fixtures already patched are pointed at the new entries by their profile name.
void LoadDeviceProfiles();
// The catalogue index of the profile file `fileName` (exact match), -1 when absent.
int FindDeviceType(const std::string &fileName);

// Reads the setup header and the patch; returns 0 on success, 1 on failure (wrong
// "DATA" tag, a version of 52 or more, a read past the end, a fixture outside the
// channels). `log` receives the fixture list in preview mode.
std::uint8_t LoadSetup(BinaryStream &stream, std::uint8_t mode, std::vector<std::string> *log = nullptr);

// The visualiser placement chunks "SPPL" and "SPP1" (shared with the show reader):
// reads the body into the fixtures and leaves the stream at the chunk's end.
void ReadPlacementChunk(BinaryStream &stream, const ChunkHeader &header);

// ChannelActive, ChannelUsed, FixtureStart, ChannelOwner, DmxInvert and DmxPatch from
// the fixtures (including the pan/tilt swap).
void BuildChannelMaps();

// Panels and stage-plan widgets are windows; the core reaches them through these hooks.
// Every hook may stay empty: then no panel is made (fade kinds stay 0, off values -1).
struct FixtureWindowHooks {
    // Creates and loads the panel of a device type for the fixture starting at `start`;
    // the panel sets FadeKind and FineChannel of those channels.
    std::function<TDesign *(const std::string &profilePath, int start)> createPanel;
    // Loads an owned panel again (start -1, mode 1) when at most one type is patched.
    std::function<void(TDesign *, const std::string &profilePath, int start, int mode)> reloadPanel;
    // The panel's off value of channel `channel` of its fixture, -1 none.
    std::function<int(TDesign *, int channel)> panelOffValue;
    std::function<void(TDesign *)> freePanel;
    // Creates the plan icon and label of fixture `fixture` (Tag = fixture); `sharesWith`
    // is the earlier fixture of the same type whose icon picture it takes, or -1.
    std::function<void(int fixture, int sharesWith)> createPlanWidgets;
    // Frees the plan icon and label of fixture `fixture`.
    std::function<void(int fixture)> freePlanWidgets;
    // Lays the slider panel out again after MaxUsedChannel changed.
    std::function<void()> relayoutSliders;
};
FixtureWindowHooks &FixtureWindows();

// The hint of a fixture's plan icon: panel name, "\r\nNN", first and last channel within
// the output, " OUT" and the output number.
std::string FixturePlanHint(int fixture, const std::string &panelName);

void BuildFixturePanels();
void ReleaseFixtureWindows();

// Start-up: reads "brantoval.cfg" from the program folder when it exists; shows "Error
// reading configuration file" when it cannot be read (what was read stays). Returns
// false on that error. When the read drops fixtures (their profile is missing or not a
// profile), the file as read is first copied to "brantoval.cfg.dropped-N" (the next free
// N) and the message that lists them names the copy.
bool LoadConfigurationFile();
// Shut-down: writes "Brantoval.cfg" (the existing file's spelling is kept) atomically;
// shows "Error writing configuration file" (caption "Setup") on failure. A file the
// last LoadConfigurationFile could not read is first renamed to "brantoval.cfg.bad"
// (replacing an older one), so that the write does not destroy it.
bool SaveConfigurationFile(bool reportFailure = true);

// Writes `path` through a temporary file renamed over it (platform::WriteFileAtomically);
// tests replace it to inject write failures.
using AtomicFileWriter = std::function<bool(const std::string &path,
                                            const std::function<bool(const std::string &tempPath)> &body)>;
AtomicFileWriter &FileWriter();
// Writes `path` through FileWriter with a file stream that `write` fills; false when the
// stream or the rename fails, and the file that was there stays.
bool WriteStreamFile(const std::string &path, const std::function<void(BinaryStream &)> &write);
