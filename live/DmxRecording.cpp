#include "DmxRecording.h"

#include "app/BinaryStream.h"

#include "platform/Files.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

DmxRecordWriter::DmxRecordWriter(const std::string &path, const std::uint8_t *start)
    : file_(std::make_unique<FileStream>(path, FileStream::CreateWrite))
{
    file_->Write(start, MaxInputChannels);
}

DmxRecordWriter::~DmxRecordWriter() = default;

void DmxRecordWriter::Change(std::int32_t clock, const std::uint8_t *state)
{
    file_->WriteU32(static_cast<std::uint32_t>(clock));
    file_->Write(state, MaxInputChannels);
}

void DmxRecordWriter::Finish(std::int32_t clock)
{
    file_->WriteU32(static_cast<std::uint32_t>(clock));
    file_->Flush();
    file_.reset();
}

std::vector<RecordedPair> ReadRecordedPairs(const std::string &path)
{
    std::vector<RecordedPair> pairs;
    if (!platform::FileExists(path))
        return pairs;
    try {
        FileStream in(path, FileStream::ReadOnly);
        while (in.Remaining() >= RecordPairSize) {
            RecordedPair p;
            in.Read(p.state.data(), p.state.size());
            p.end = in.ReadU32();
            pairs.push_back(p);
        }
    } catch (const StreamError &) {
        // What was read whole stays.
    }
    return pairs;
}

std::vector<RecordedPair> SplitLongHolds(const std::vector<RecordedPair> &pairs)
{
    std::vector<RecordedPair> out;
    out.reserve(pairs.size());
    std::uint32_t previous = 0;
    for (const RecordedPair &p : pairs) {
        while (p.end > previous && p.end - previous > MaxRecordedHoldMs) {
            previous += MaxRecordedHoldMs;
            out.push_back(RecordedPair{p.state, previous});
        }
        out.push_back(p);
        previous = p.end;
    }
    return out;
}

void WriteRecordedPairs(const std::string &path, const std::vector<RecordedPair> &pairs)
{
    FileStream out(path, FileStream::CreateWrite);
    for (const RecordedPair &p : pairs) {
        out.Write(p.state.data(), p.state.size());
        out.WriteU32(p.end);
    }
    out.Flush();
}

std::vector<RecordedPair> SplitRecordingFile(const std::string &folder)
{
    const std::string record = folder + RecordFileName;
    const std::string split = folder + RecordSplitFileName;
    const std::vector<RecordedPair> pairs = SplitLongHolds(ReadRecordedPairs(record));
    WriteRecordedPairs(split, pairs);
    std::error_code ec;
    std::filesystem::rename(split, record, ec);
    if (ec)
        throw StreamError("cannot replace " + record);
    return pairs;
}

void FillRecordedScene(SceneRecord &scene, const RecordedPair &pair, std::uint32_t previousEnd, bool low)
{
    std::memset(scene.levels, 0, sizeof scene.levels);
    std::memcpy(scene.levels + (low ? 0 : MaxInputChannels), pair.state.data(), MaxInputChannels);
    const std::uint32_t time = pair.end - previousEnd;
    scene.sceneTime = time == 0 ? MinRecordedSceneMs : time;
    scene.fadeTime = MinRecordedSceneMs;
    scene.positionRef = 0;
    scene.reserved = 0;
    scene.levelCount = MaxChannels;
}

std::string RecordClockText(std::int32_t ms)
{
    const std::int64_t t = ms < 0 ? 0 : ms;
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d:%01d", int((t / 3600000) % 24), int((t / 60000) % 60),
                  int((t / 1000) % 60), int((t / 100) % 10));
    return text;
}
