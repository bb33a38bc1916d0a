#include "SceneRecordIO.h"

void WriteSceneRecord(BinaryStream &stream, const SceneRecord &scene)
{
    stream.Write(scene.name.data(), scene.name.size());
    stream.WriteU32(scene.sceneTime);
    stream.WriteU8(scene.positionRef);
    stream.WriteU8(scene.reserved);
    stream.WriteU16(MaxChannels);
    stream.WriteU32(scene.fadeTime);
    stream.Write(scene.levels, MaxChannels);
}

void ReadSceneRecord(BinaryStream &stream, SceneRecord *scene)
{
    if (!scene) {
        stream.Skip(22);
        int count = stream.ReadU16();
        if (count == 0)
            count = 512;
        stream.Skip(4 + count);
        return;
    }
    Name16 name;
    stream.Read(name.data(), name.size());
    std::uint32_t sceneTime = stream.ReadU32();
    std::uint8_t positionRef = stream.ReadU8();
    std::uint8_t reserved = stream.ReadU8();
    int count = stream.ReadU16();
    if (count == 0)
        count = 512;
    if (count > MaxChannels)
        throw StreamError("scene level count out of range");
    std::uint32_t fade = stream.ReadU32();
    stream.Read(scene->levels, static_cast<std::size_t>(count));
    scene->name = name;
    scene->sceneTime = sceneTime;
    scene->positionRef = positionRef;
    scene->reserved = reserved;
    scene->levelCount = MaxChannels;
    scene->fadeTime = fade < 50 ? 50 : fade;
}
