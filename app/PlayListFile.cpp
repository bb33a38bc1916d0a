#include "PlayListFile.h"

#include "PatchLoader.h"
#include "ShowModel.h"
#include "platform/MsgBox.h"

#include <cstring>

bool ReadPlayList(BinaryStream &stream, std::int64_t end)
{
    char magic[8];
    stream.Read(magic, 8);
    bool current = std::memcmp(magic, "PRG2\0\0\0\0", 8) == 0;
    bool older = std::memcmp(magic, "PRGL\0\0\0\0", 8) == 0;
    if (!current && !older) {
        platform::ShowMessage("HLVR", "Program List Data Error");
        return false;
    }
    // Read into a list of its own: a truncated entry throws and leaves the list as it was.
    std::vector<PlayListEntry> entries;
    while (stream.Position() < end) {
        PlayListEntry e;
        e.startTime = stream.ReadI32();
        e.index = stream.ReadI16();
        e.cueFlag = stream.ReadU8();
        e.mediaFile = stream.ReadShortString();
        e.mediaStart = stream.ReadI32();
        e.mediaStop = stream.ReadI32();
        e.action = stream.ReadU8();
        e.gotoRow = stream.ReadI16();
        e.comments = stream.ReadShortString();
        e.fade = current ? stream.ReadI32() : 0;
        if (stream.Position() > end)
            throw StreamError("play list entry runs past its end");
        entries.push_back(std::move(e));
    }
    PlayListEntries = std::move(entries);
    PlayListCount = static_cast<std::int32_t>(PlayListEntries.size());
    return true;
}

void WritePlayList(BinaryStream &stream)
{
    stream.Write("PRG2\0\0\0\0", 8);
    for (const auto &e : PlayListEntries) {
        stream.WriteI32(e.startTime);
        stream.WriteI16(e.index);
        stream.WriteU8(e.cueFlag);
        stream.WriteShortString(e.mediaFile);
        stream.WriteI32(e.mediaStart);
        stream.WriteI32(e.mediaStop);
        stream.WriteU8(e.action);
        stream.WriteI16(e.gotoRow);
        stream.WriteShortString(e.comments);
        stream.WriteI32(e.fade);
    }
}

bool LoadPlayListFile(const std::string &path)
{
    try {
        FileStream file(path, FileStream::ReadOnly);
        return ReadPlayList(file, file.Size());
    } catch (const StreamError &) {
        platform::ShowMessage("HLVR", "Program List Data Error");
        return false;
    }
}

bool SavePlayListFile(const std::string &path)
{
    // Through a temporary file, so a failed write keeps the list that was there.
    return WriteStreamFile(path, [](BinaryStream &s) { WritePlayList(s); });
}
