#include "ShowPreview.h"

#include "Chunk.h"
#include "PatchLoader.h"
#include "SceneRecordIO.h"
#include "ShowModel.h"
#include "SetupFile.h"

#include <cstdio>

bool ShowPreviewable(const std::string &extension)
{
    return extension == "d1k";
}

std::string ShowPreviewCaption(const std::string &extension)
{
    return ShowPreviewable(extension) ? "Preview" : "Can't preview";
}

std::vector<std::string> ShowPreviewLines(BinaryStream &s)
{
    std::vector<std::string> lines;
    try {
        // The version byte of the setup header; the patch reader keeps it to itself in
        // preview mode.
        s.Seek(0);
        std::uint8_t header[12];
        s.Read(header, sizeof header);
        const int version = header[8];
        s.Seek(0);
        if (LoadSetup(s, LoadSetupPreview, &lines) != 0)
            return lines;
        lines.push_back("**** Show V" + std::to_string(version) + " ****");
        if (version != static_cast<int>(SetupFormatVersion) || s.Remaining() < ChunkHeaderSize)
            return lines;
        const ChunkHeader h = ReadChunkHeader(s);
        if (!h.Is("SHOW"))
            return lines;
        s.Skip(16);   // the show name
        const std::int32_t count = s.ReadI32();
        if (count < 0 || count > MaxSequences || count > s.Remaining() / 15)
            return lines;
        for (int i = 0; i < count; ++i) {
            std::string name = s.ReadShortString();
            s.Skip(10);   // tempo, common fade, flags, modes
            const int scenes = s.ReadI16();
            s.Skip(2);    // the non-smooth option
            if (scenes < 0 || scenes > MaxScenes || scenes > s.Remaining() / 28)
                return lines;
            char tail[16];
            std::snprintf(tail, sizeof tail, " = %d", scenes);
            lines.push_back(name + tail);
            for (int j = 0; j < scenes; ++j)
                ReadSceneRecord(s, nullptr);
        }
    } catch (const StreamError &) {
    }
    return lines;
}
