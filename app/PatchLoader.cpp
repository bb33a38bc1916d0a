#include "PatchLoader.h"

#include "EngineHold.h"
#include "FixtureArea.h"
#include "LevelPipeline.h"
#include "ProfileFile.h"
#include "SetupFile.h"
#include "ShowModel.h"
#include "platform/Files.h"
#include "platform/MsgBox.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <strings.h>

std::int32_t MaxUsedChannel = 0;
std::int32_t DesignCount = 0;
std::uint8_t LoadedSetupVersion = SetupFormatVersion;

namespace {

const char *const AppCaption = "Brantoval-1024";

// Names of profiles that fixtures still refer to after their profile left the catalogue.
std::deque<std::string> &OrphanNames()
{
    static std::deque<std::string> names;
    return names;
}

bool EndsWithDsp(const std::string &name)
{
    return name.size() >= 4 && strcasecmp(name.c_str() + name.size() - 4, ".dsp") == 0;
}

std::string LowerAscii(std::string s)
{
    for (char &c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// Device names compare as unsigned bytes up to the first zero.
bool DeviceNameLess(const DeviceTypeEntry &a, const DeviceTypeEntry &b)
{
    // strcmp compares as unsigned char and stops at the first zero.
    return std::strcmp(a.deviceName.c_str(), b.deviceName.c_str()) < 0;
}

// Reads the catalogue part of a profile through the shared header reader; false when it
// is not a profile. The catalogue limits the count to 1..32 and clears the used bits at
// and above it.
bool ReadProfileHeader(const std::string &path, DeviceTypeEntry &entry)
{
    DspProfile profile;
    if (ReadDspHeaderFile(path, profile) != DspReadResult::Ok)
        return false;
    ClampForCatalogue(profile);
    std::memcpy(entry.functions, profile.functions, MaxFixtureChannels);
    entry.deviceName = profile.name;
    entry.channelCount = profile.count;
    entry.usedMask = profile.usedMask;
    return true;
}

void PointAtDeviceType(FixtureRecord &f, int type)
{
    f.deviceType = static_cast<std::int16_t>(type);
    f.profileFileName = &DeviceTypes[static_cast<std::size_t>(type)].fileName;
    f.deviceName = &DeviceTypes[static_cast<std::size_t>(type)].deviceName;
}

const DeviceTypeEntry *TypeOf(const FixtureRecord &f)
{
    if (f.deviceType < 0 || f.deviceType >= DeviceTypeCount)
        return nullptr;
    return &DeviceTypes[static_cast<std::size_t>(f.deviceType)];
}

std::string ReadCString(BinaryStream &s)
{
    std::string out;
    for (;;) {
        char c = static_cast<char>(s.ReadU8());
        if (c == '\0')
            return out;
        out += c;
    }
}

void ReadPlacementValues(BinaryStream &s, FixtureRecord &f)
{
    for (float &v : f.placement) {
        std::uint32_t bits = s.ReadU32();
        std::memcpy(&v, &bits, 4);
    }
}

std::string FixtureLine(const std::string &profile, const std::string &header)
{
    return profile + " - \"" + header + "\"\r\n";
}

// Set while the configuration file is read: called when a fixture is dropped, it keeps the
// file aside and gives the line that says where.
std::function<std::string()> DroppedFixturesNote;

std::string NoteOfDroppedFixtures()
{
    return DroppedFixturesNote ? DroppedFixturesNote() : std::string();
}

// Current layout (version above 36): the fixture entries of the patch block.
void ReadFixtures(BinaryStream &s, std::uint8_t mode, std::vector<std::string> *log)
{
    int count = s.ReadI16();
    if (count < 0 || count > s.Remaining() / 50)
        throw StreamError("fixture count out of range");
    if (mode == LoadSetupPreview && log) {
        log->push_back(" ST NN User Header");
        log->push_back("------------------");
    }
    std::string missing;
    for (int k = 0; k < count; ++k) {
        int start = s.ReadI16();
        int storedCount = s.ReadU8();
        std::uint32_t usedMask = s.ReadU32();
        std::uint32_t invertMask = s.ReadU32();
        std::uint8_t swap = s.ReadU8();
        std::int16_t planX = s.ReadI16();
        std::int16_t planY = s.ReadI16();
        std::uint8_t states[MaxFixtureChannels];
        s.Read(states, MaxFixtureChannels);
        std::string profile = s.ReadShortString();
        std::string header = s.ReadShortString();
        if (mode == LoadSetupPreview) {
            if (log) {
                char line[32];
                std::snprintf(line, sizeof line, "%3d %2d ", start, storedCount);
                log->push_back(line + header);
            }
            continue;
        }
        if (start < 0 || start >= MaxChannels)
            throw StreamError("fixture start outside the channels");
        int type = FindDeviceType(profile);
        if (type < 0) {
            missing += FixtureLine(profile, header);
            continue;
        }
        const DeviceTypeEntry &entry = DeviceTypes[static_cast<std::size_t>(type)];
        if (storedCount != entry.channelCount || usedMask != entry.usedMask)
            platform::ShowMessage(AppCaption, header +
                                                  "\r\nNumber of device DMX channels\r\nor mask of used channels is "
                                                  "incorrect\r\nThe values gets from DSP file");
        int n = std::clamp<int>(entry.channelCount, 1, MaxFixtureChannels);
        if (start + n > MaxChannels) {
            missing += FixtureLine(profile, header);
            continue;
        }
        FixtureRecord &f = Fixtures[static_cast<std::size_t>(AddFixture())];
        f.start = static_cast<std::int16_t>(start);
        f.channelCount = static_cast<std::uint8_t>(n);
        for (int j = 0; j < n; ++j) {
            f.used[j] = (entry.usedMask >> j) & 1;
            f.invert[j] = (invertMask >> j) & 1;
        }
        f.swapPanTilt = swap;
        f.planX = planX;
        f.planY = planY;
        std::memcpy(f.states, states, MaxFixtureChannels);
        f.planPage = f.states[0] >> 4;
        f.iconOrientation = f.states[1] >> 4;
        f.states[0] &= 0x0F;
        f.states[1] &= 0x0F;
        PointAtDeviceType(f, type);
        f.userHeader = header;
    }
    if (!missing.empty())
        platform::ShowMessage(AppCaption, "= FILES NOT FOUND - Ignored!!! =\r\n" + missing + NoteOfDroppedFixtures());
}

// Older layout (version 36 or less): one entry per four channels.
void ReadOldFixtures(BinaryStream &s, std::uint8_t mode)
{
    std::string missing;
    for (int k = 0; k < 256; ++k) {
        std::uint8_t present = s.ReadU8();
        std::int16_t planX = s.ReadI16();
        std::int16_t planY = s.ReadI16();
        std::string profile = ReadCString(s);
        std::string header = ReadCString(s);
        if (mode == LoadSetupPreview || !present || profile.empty())
            continue;
        auto dll = profile.find(".dll");
        if (dll != std::string::npos)
            profile.replace(dll, 4, ".dsp");
        int type = FindDeviceType(profile);
        if (type < 0) {
            const std::string note = NoteOfDroppedFixtures();
            platform::ShowMessage(AppCaption, profile + " - file\r\n" + header +
                                                  " - Header\r\nDevice not found - Ignored!!!" +
                                                  (note.empty() ? "" : "\r\n" + note));
            continue;
        }
        const DeviceTypeEntry &entry = DeviceTypes[static_cast<std::size_t>(type)];
        int n = std::clamp<int>(entry.channelCount, 1, MaxFixtureChannels);
        if (4 * k + n > MaxChannels) {
            missing += FixtureLine(profile, header);
            continue;
        }
        FixtureRecord &f = Fixtures[static_cast<std::size_t>(AddFixture())];
        f.start = static_cast<std::int16_t>(4 * k);
        f.channelCount = static_cast<std::uint8_t>(n);
        for (int j = 0; j < n; ++j)
            f.used[j] = (entry.usedMask >> j) & 1;
        f.planX = planX;
        f.planY = planY;
        PointAtDeviceType(f, type);
        f.userHeader = header;
    }
    if (!missing.empty())
        platform::ShowMessage(AppCaption, "= FILES NOT FOUND - Ignored!!! =\r\n" + missing + NoteOfDroppedFixtures());
}

// The chunks after the patch of the configuration file. A bad end offset or a handled
// chunk that does not end where it says stops the reading; what was read stays.
void ReadConfigChunks(BinaryStream &s)
{
    while (s.Remaining() > 0) {
        ChunkHeader h = ReadChunkHeader(s);
        if (!ChunkEndValid(h, s))
            return;
        if (h.Is("SPPL") || h.Is("SPP1")) {
            ReadPlacementChunk(s, h);
        } else if (h.Is("ROOM")) {
            if (ChunkBodyLeft(h, s) < 12)
                return;
            for (auto &v : RoomSize)
                v = s.ReadI32();
        } else {
            s.Seek(h.end);
        }
        if (s.Position() != h.end)
            return;
    }
}

} // namespace

int FindDeviceType(const std::string &fileName)
{
    for (int i = 0; i < DeviceTypeCount; ++i)
        if (DeviceTypes[static_cast<std::size_t>(i)].fileName == fileName)
            return i;
    return -1;
}

std::string DevicesFolder()
{
    return platform::ProgramFolder() + "Devices/";
}

std::string DeviceProfilePath(const std::string &profileFileName)
{
    return platform::ResolveNoCase(DevicesFolder(), profileFileName);
}

void LoadDeviceProfiles()
{
    // Fixtures keep their profile by name across the reload.
    std::vector<std::string> fixtureProfiles;
    for (const auto &f : Fixtures)
        fixtureProfiles.push_back(f.profileFileName ? *f.profileFileName : std::string());

    DeviceTypes.clear();
    DeviceTypeCount = 0;
    std::string folder = DevicesFolder();
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec))
        std::filesystem::create_directories(folder, ec);

    // Every entry but a folder counts: a pipe or a device named *.dsp is read as empty (it is
    // never waited on) and reported as not a profile.
    std::vector<std::string> names;
    for (const auto &e : std::filesystem::directory_iterator(folder, ec)) {
        std::string name = e.path().filename().string();
        if (EndsWithDsp(name) && !e.is_directory(ec))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    if (names.empty())
        platform::ShowMessage(AppCaption, "You have no one dsp files in folder 'Devices'");

    for (const auto &name : names) {
        DeviceTypeEntry entry;
        if (!ReadProfileHeader(folder + name, entry)) {
            platform::ShowMessage(AppCaption, "Not DSP Format !!!");
            continue;
        }
        entry.fileName = LowerAscii(name);
        DeviceTypes.push_back(std::move(entry));
    }
    std::stable_sort(DeviceTypes.begin(), DeviceTypes.end(), DeviceNameLess);
    DeviceTypeCount = static_cast<std::int32_t>(DeviceTypes.size());

    for (std::size_t i = 0; i < Fixtures.size(); ++i) {
        FixtureRecord &f = Fixtures[i];
        int type = FindDeviceType(fixtureProfiles[i]);
        if (type >= 0) {
            PointAtDeviceType(f, type);
        } else {
            OrphanNames().push_back(fixtureProfiles[i]);
            f.deviceType = -1;
            f.profileFileName = &OrphanNames().back();
            f.deviceName = &OrphanNames().back();
        }
    }
}

std::uint8_t LoadSetup(BinaryStream &stream, std::uint8_t mode, std::vector<std::string> *log)
{
    // The patch tables are rewritten: no tick may read them meanwhile.
    std::optional<HoldEngine> hold;
    if (mode != LoadSetupPreview)
        hold.emplace();
    bool pastEnd = false;
    bool patchRead = false;
    try {
        std::uint8_t header[12];
        stream.Read(header, 12);
        std::uint32_t second = std::uint32_t(header[4]) | (std::uint32_t(header[5]) << 8) |
                               (std::uint32_t(header[6]) << 16) | (std::uint32_t(header[7]) << 24);
        if (mode == LoadSetupConfig && second > 0xFFFF)
            InterfaceKind = static_cast<std::uint16_t>(second >> 16);
        std::uint8_t version = header[8];
        char data[8];
        stream.Read(data, 8);
        if (std::memcmp(data, "DATA\0\0\0\0", 8) != 0)
            return 1;
        if (version >= 52) {
            // The preview of the open dialog says nothing about the files it looks at.
            if (mode != LoadSetupPreview)
                platform::ShowMessage(AppCaption, "Version of Show-file is later then current!!!");
            return 1;
        }
        if (mode != LoadSetupPreview)
            LoadedSetupVersion = version;
        if (mode != LoadSetupPreview) {
            ClearFixtures();
            patchRead = true;
        }
        if (version > 36)
            ReadFixtures(stream, mode, log);
        else
            ReadOldFixtures(stream, mode);
        if (mode == LoadSetupPreview)
            return 0;
        BuildChannelMaps();
        if (mode == LoadSetupConfig)
            ReadConfigChunks(stream);
    } catch (const StreamError &) {
        pastEnd = true;
        if (patchRead)
            BuildChannelMaps();
    }
    return pastEnd ? 1 : 0;
}

void ReadPlacementChunk(BinaryStream &s, const ChunkHeader &h)
{
    std::int64_t body = ChunkBodyLeft(h, s);
    if (h.Is("SPPL")) {
        if (body == std::int64_t(FixtureCount) * 24)
            for (auto &f : Fixtures)
                ReadPlacementValues(s, f);
    } else if (body == std::int64_t(FixtureCount) * 28) {
        for (auto &f : Fixtures) {
            s.ReadU32();
            ReadPlacementValues(s, f);
        }
    } else {
        // Records are matched to the fixtures by their address, in order.
        for (auto &f : Fixtures) {
            bool found = false;
            while (ChunkBodyLeft(h, s) >= 28) {
                std::uint32_t address = s.ReadU32();
                if (int(address & 0x3FF) == f.start) {
                    ReadPlacementValues(s, f);
                    found = true;
                    break;
                }
                s.Skip(24);
            }
            if (!found)
                break;
        }
    }
    s.Seek(h.end);
}

void BuildChannelMaps()
{
    ResetChannelMaps();
    for (int i = 0; i < FixtureCount; ++i) {
        const FixtureRecord &f = Fixtures[static_cast<std::size_t>(i)];
        int s = f.start;
        int n = std::min<int>(f.channelCount, MaxFixtureChannels);
        if (s < 0 || s >= MaxChannels)
            continue;
        FixtureStart[s] = 1;
        for (int j = 0; j < n && s + j < MaxChannels; ++j) {
            ChannelActive[s + j] = f.used[j];
            ChannelUsed[s + j] = 1;
            ChannelOwner[s + j] = ChannelOwnerEntry{static_cast<std::int16_t>(j), static_cast<std::int16_t>(i)};
            DmxInvert[s + j] = f.invert[j] != 0;
        }
        if (!f.swapPanTilt || !TypeOf(f))
            continue;
        const ChannelRoles roles = RolesOf(f);
        const int pan = roles.pan, tilt = roles.tilt, panFine = roles.panFine, tiltFine = roles.tiltFine;
        if (pan < 0 || tilt < 0)
            continue;
        if (panFine < 0 && tiltFine < 0) {
            DmxPatch[s + pan] = static_cast<std::int16_t>(s + tilt);
            DmxPatch[s + tilt] = static_cast<std::int16_t>(s + pan);
        } else if (panFine >= 0 && tiltFine >= 0) {
            DmxPatch[s + pan] = static_cast<std::int16_t>(s + tilt);
            DmxPatch[s + tilt] = static_cast<std::int16_t>(s + pan);
            DmxPatch[s + panFine] = static_cast<std::int16_t>(s + tiltFine);
            DmxPatch[s + tiltFine] = static_cast<std::int16_t>(s + panFine);
        }
    }
}

FixtureWindowHooks &FixtureWindows()
{
    static FixtureWindowHooks hooks;
    return hooks;
}

std::string FixturePlanHint(int fixture, const std::string &panelName)
{
    const FixtureRecord &f = Fixtures[static_cast<std::size_t>(fixture)];
    int first = (f.start & 511) + 1;
    int last = first + f.channelCount - 1;
    int output = f.start / 512 + 1;
    return panelName + "\r\nNN" + std::to_string(first) + "-" + std::to_string(last) + " OUT" +
           std::to_string(output);
}

void BuildFixturePanels()
{
    FixtureWindowHooks &hooks = FixtureWindows();
    for (auto &k : FadeKind)
        k = FadeJump;
    std::vector<int> owner(Fixtures.size(), -1);
    for (std::size_t j = 0; j < Fixtures.size(); ++j) {
        FixtureRecord &f = Fixtures[j];
        int shared = -1;
        for (std::size_t k = 0; k < j; ++k)
            if (Fixtures[k].deviceType == f.deviceType) {
                shared = static_cast<int>(k);
                break;
            }
        if (shared >= 0) {
            const FixtureRecord &o = Fixtures[static_cast<std::size_t>(shared)];
            f.panel = o.panel;
            for (int i = 0; i < o.channelCount; ++i) {
                int to = f.start + i, from = o.start + i;
                if (to >= MaxChannels || from >= MaxChannels)
                    break;
                FadeKind[to] = FadeKind[from];
                if (FadeKind[to] == Fade16Coarse)
                    FineChannel[to] = static_cast<std::int16_t>(FineChannel[from] + f.start - o.start);
            }
        } else {
            owner[j] = static_cast<int>(j);
            f.panel = hooks.createPanel && f.profileFileName
                          ? hooks.createPanel(DeviceProfilePath(*f.profileFileName), f.start)
                          : nullptr;
        }
        if (hooks.createPlanWidgets)
            hooks.createPlanWidgets(static_cast<int>(j), shared);
    }

    MaxUsedChannel = 0;
    for (const auto &f : Fixtures)
        for (int i = 0; i < f.channelCount && i < MaxFixtureChannels; ++i)
            if (f.used[i] == 1)
                MaxUsedChannel = std::max(MaxUsedChannel, i + 1);
    if (hooks.relayoutSliders)
        hooks.relayoutSliders();

    DesignCount = static_cast<std::int32_t>(std::count_if(owner.begin(), owner.end(), [](int o) { return o >= 0; }));
    if (DesignCount <= 1 && hooks.reloadPanel)
        for (std::size_t j = 0; j < Fixtures.size(); ++j)
            if (owner[j] >= 0 && Fixtures[j].panel && Fixtures[j].profileFileName)
                hooks.reloadPanel(Fixtures[j].panel, DeviceProfilePath(*Fixtures[j].profileFileName), -1, 1);

    for (auto &v : ChannelOffValues)
        v = -1;
    for (const auto &f : Fixtures)
        for (int l = 0; l < f.channelCount && f.start + l < MaxChannels; ++l)
            ChannelOffValues[f.start + l] = static_cast<std::int16_t>(
                f.panel && hooks.panelOffValue ? hooks.panelOffValue(f.panel, l) : -1);
}

void ReleaseFixtureWindows()
{
    FixtureWindowHooks &hooks = FixtureWindows();
    for (std::size_t j = 0; j < Fixtures.size(); ++j) {
        FixtureRecord &f = Fixtures[j];
        bool first = true;
        for (std::size_t k = 0; k < j; ++k)
            if (Fixtures[k].deviceType == f.deviceType)
                first = false;
        if (first && f.panel && hooks.freePanel)
            hooks.freePanel(f.panel);
        f.panel = nullptr;
        if (hooks.freePlanWidgets)
            hooks.freePlanWidgets(static_cast<int>(j));
        f.planIcon = nullptr;
        f.planLabel = nullptr;
    }
}

AtomicFileWriter &FileWriter()
{
    static AtomicFileWriter writer = [](const std::string &path,
                                        const std::function<bool(const std::string &)> &body) {
        return platform::WriteFileAtomically(path, body);
    };
    return writer;
}

bool WriteStreamFile(const std::string &path, const std::function<void(BinaryStream &)> &write)
{
    return FileWriter()(path, [&write](const std::string &temp) {
        try {
            FileStream s(temp, FileStream::CreateWrite);
            write(s);
            s.Flush();
            return true;
        } catch (const StreamError &) {
            return false;
        }
    });
}

namespace {
// The configuration file that could not be read, kept aside before the next write
// replaces it; empty when the last read succeeded.
std::string &UnreadableConfiguration()
{
    static std::string path;
    return path;
}

// Copies the file `path` to "brantoval.cfg.dropped-N" beside it, N the lowest number not
// taken; returns the copy's name, empty when it could not be written.
std::string KeepConfigurationAside(const std::string &path)
{
    const std::string folder = std::filesystem::path(path).parent_path().string() + "/";
    for (int n = 1;; ++n) {
        const std::string name = "brantoval.cfg.dropped-" + std::to_string(n);
        std::error_code ec;
        if (std::filesystem::exists(folder + name, ec) || std::filesystem::is_symlink(folder + name, ec))
            continue;
        // Never over an earlier copy: a file that appeared meanwhile makes the copy fail, and
        // the next number is tried. Any other failure (a full disk) ends the search, and what
        // the failed copy left is removed.
        if (std::filesystem::copy_file(path, folder + name, std::filesystem::copy_options::none, ec))
            return name;
        if (ec != std::errc::file_exists) {
            std::error_code ignored;
            std::filesystem::remove(folder + name, ignored);
            return std::string();
        }
    }
}
} // namespace

bool LoadConfigurationFile()
{
    std::string folder = platform::ProgramFolder();
    UnreadableConfiguration().clear();
    auto name = platform::FindFileNoCase(folder, "brantoval.cfg");
    if (!name)
        return true;
    // A fixture dropped here would be missing from the file the next write makes: the file
    // as read is copied first, once per read.
    std::string kept;
    bool copied = false;
    DroppedFixturesNote = [&] {
        if (!copied) {
            copied = true;
            kept = KeepConfigurationAside(folder + *name);
        }
        return kept.empty() ? "The configuration file could not be kept aside\r\n"
                            : "The configuration file as read is kept as " + kept + "\r\n";
    };
    bool ok = false;
    try {
        FileStream s(folder + *name, FileStream::ReadOnly);
        ok = LoadSetup(s, LoadSetupConfig) == 0;
    } catch (const StreamError &) {
        ok = false;
    }
    DroppedFixturesNote = nullptr;
    if (!ok) {
        UnreadableConfiguration() = folder + *name;
        platform::ShowMessage(AppCaption, "Error reading configuration file");
    }
    return ok;
}

bool SaveConfigurationFile(bool reportFailure)
{
    const std::string folder = platform::ProgramFolder();
    std::string path = platform::ResolveNoCase(folder, "Brantoval.cfg");
    // An unreadable file is renamed, not overwritten: the operator may still want it. The
    // new file takes its spelling.
    const std::string unreadable = UnreadableConfiguration();
    if (!unreadable.empty() && unreadable.compare(0, folder.size(), folder) == 0) {
        std::rename(unreadable.c_str(), (folder + "brantoval.cfg.bad").c_str());
        path = unreadable;
    }
    UnreadableConfiguration().clear();
    const bool ok = WriteStreamFile(path, [](BinaryStream &s) { SaveSetup(s, SetupConfigFile); });
    if (!ok && reportFailure)
        platform::ShowMessage("Setup", "Error writing configuration file");
    return ok;
}
