#include "DeviceSequenceFile.h"

#include "BinaryStream.h"
#include "FixtureArea.h"
#include "PatchLoader.h"

#include "platform/MsgBox.h"

#include <algorithm>
#include <cctype>
#include <memory>

namespace {

const char *const AppCaption = "Brantoval-1024";

bool HasExtension(const std::string &path)
{
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    return dot != std::string::npos && (slash == std::string::npos || dot > slash);
}

// The To up-down of mode 1 from a first scene `from` (1-based).
void InsertRange(SceneRangeChoice &r, int from, int sceneCount, int stored)
{
    r.toMin = from;
    r.toMax = std::max(from, from + std::min(stored, sceneCount - from + 1) - 1);
    r.to = r.toMax;
}

} // namespace

DeviceSequenceData DeviceSequenceOf(const FixtureRecord &f, const SequenceRecord &seq, int first, int last)
{
    DeviceSequenceData d;
    d.profileName = f.profileFileName ? *f.profileFileName : std::string();
    d.channels = f.channelCount;
    first = std::max(first, 0);
    last = std::min(last, seq.sceneCount - 1);
    d.scenes = std::max(0, last - first + 1);
    d.values.assign(static_cast<std::size_t>(d.channels) * static_cast<std::size_t>(d.scenes), 0);
    for (int i = 0; i < d.channels; ++i)
        for (int k = 0; k < d.scenes; ++k) {
            const int c = f.start + i;
            const SceneRecord *scene = seq.scenes[first + k];
            d.values[static_cast<std::size_t>(i * d.scenes + k)] = scene && c < MaxChannels ? scene->levels[c] : 0;
        }
    return d;
}

void WriteDeviceSequence(BinaryStream &s, const DeviceSequenceData &d)
{
    s.WriteShortString(d.profileName);
    s.WriteU8(static_cast<std::uint8_t>(d.channels));
    s.WriteI16(static_cast<std::int16_t>(d.scenes));
    if (!d.values.empty())
        s.Write(d.values.data(), d.values.size());
}

bool ReadDeviceSequence(BinaryStream &s, DeviceSequenceData &d)
{
    try {
        DeviceSequenceData staged;
        staged.profileName = s.ReadShortString();
        staged.channels = s.ReadU8();
        staged.scenes = s.ReadI16();
        if (staged.scenes < 0)
            return false;
        const std::size_t size = static_cast<std::size_t>(staged.channels) * static_cast<std::size_t>(staged.scenes);
        if (s.Remaining() < static_cast<std::int64_t>(size))
            return false;
        staged.values.resize(size);
        if (size)
            s.Read(staged.values.data(), size);
        d = std::move(staged);
        return true;
    } catch (const StreamError &) {
        return false;
    }
}

bool SaveDeviceSequenceFile(const std::string &path, const FixtureRecord &f, const SequenceRecord &seq, int first,
                            int last)
{
    const std::string target = HasExtension(path) ? path : path + ".sqd";
    const DeviceSequenceData d = DeviceSequenceOf(f, seq, first, last);
    const bool ok = WriteStreamFile(target, [&d](BinaryStream &s) { WriteDeviceSequence(s, d); });
    if (!ok)
        platform::ShowMessage(AppCaption, "Error writing file");
    return ok;
}

bool LoadDeviceSequenceFile(const std::string &path)
{
    DeviceSequenceData d;
    bool ok = false;
    try {
        FileStream s(path, FileStream::ReadOnly);
        ok = ReadDeviceSequence(s, d);
    } catch (const StreamError &) {
        ok = false;
    }
    if (!ok) {
        platform::ShowMessage(AppCaption, "Error reading file");
        return false;
    }
    std::string lower = d.profileName;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    DeviceSequenceType = std::max(0, FindDeviceType(lower));
    DeviceSequenceSceneCount = d.scenes;
    DeviceSequenceValues = std::move(d.values);
    return true;
}

SceneRangeChoice InitialSceneRange(int mode, int current, int sceneCount, int stored)
{
    SceneRangeChoice r;
    const int c = std::clamp(current + 1, 1, std::max(1, sceneCount));
    r.fromMin = 1;
    r.fromMax = std::max(1, sceneCount);
    r.from = c;
    if (mode == 0) {
        r.toMin = c;
        r.toMax = std::max(c, sceneCount);
        r.to = r.toMax;
    } else {
        InsertRange(r, c, sceneCount, stored);
    }
    return r;
}

void FromSceneChanged(SceneRangeChoice &r, int mode, int from, int sceneCount, int stored)
{
    r.from = std::clamp(from, r.fromMin, r.fromMax);
    if (mode == 0) {
        r.toMin = r.from;
        r.to = std::max(r.to, r.from);
    } else {
        InsertRange(r, r.from, sceneCount, stored);
    }
}
