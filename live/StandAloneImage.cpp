#include "StandAloneImage.h"

#include "app/BinaryStream.h"
#include "app/LevelPipeline.h"
#include "app/OutputEngine.h"
#include "app/OutputEngineSteps.h"
#include "app/ShowModel.h"

#include "platform/Files.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

constexpr int FrameBytes = 512;
constexpr std::uint16_t NoSceneStart = 0xFFFF;

using Block = std::array<std::uint8_t, ImageBlockSize>;

Block FilledBlock()
{
    Block b;
    b.fill(0xFF);
    return b;
}

std::string PathIn(const std::string &folder, const char *name)
{
    if (folder.empty())
        return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

void PutU16(std::uint8_t *at, std::uint16_t v)
{
    at[0] = static_cast<std::uint8_t>(v & 0xFF);
    at[1] = static_cast<std::uint8_t>(v >> 8);
}

struct SequenceEntry {
    std::int16_t first = 0;
    std::int16_t count = 0;
    std::uint16_t beatMs = 0;
    std::uint8_t cycle = 0;
    std::int8_t stepMode = 0;
};

// The leading blocks 1 to 3: off values, start frame and channel flags.
void FillTableBlocks(Block &offValues, Block &startFrame, Block &flags)
{
    for (int i = 0; i < FrameBytes; ++i)
        offValues[i] = ChannelOffValues[i] < 0 ? 0xFF : static_cast<std::uint8_t>(ChannelOffValues[i]);

    const std::uint8_t *start = FavouriteAssigned ? FavouriteLevels : Sequences[0]->scenes[0]->levels;
    std::memcpy(startFrame.data(), start, FrameBytes);

    std::fill(flags.begin(), flags.begin() + FrameBytes, std::uint8_t(0x1F));
    const int count = std::min<std::int64_t>(FixtureCount, static_cast<std::int64_t>(Fixtures.size()));
    // Both passes stop at the last channel of the first output: a fixture that starts
    // below it and runs beyond it leaves the block's trailing bytes alone.
    for (int f = 0; f < count; ++f) {
        const FixtureRecord &fx = Fixtures[static_cast<std::size_t>(f)];
        if (fx.start < 0 || fx.start >= FrameBytes)
            continue;
        const int channels = std::min<int>(fx.channelCount, MaxFixtureChannels);
        for (int j = 0; j < channels && fx.start + j < FrameBytes; ++j) {
            if (!fx.used[j])
                continue;
            const int ch = fx.start + j;
            flags[ch] |= ChannelOffValues[ch] < 0 ? 0xC0 : 0x40;
        }
    }
    for (int f = 0; f < count; ++f) {
        const FixtureRecord &fx = Fixtures[static_cast<std::size_t>(f)];
        const int channels = std::min<int>(fx.channelCount, MaxFixtureChannels);
        for (int j = 0; j < channels; ++j) {
            const int ch = fx.start + j;
            if (ch < 0 || ch >= FrameBytes || !fx.used[j] || fx.states[j] != 3 || PhysMasterMap[ch] == 255)
                continue;
            flags[ch] = static_cast<std::uint8_t>((flags[ch] & 0xC0) | (PhysMasterMap[ch] & 0x3F));
        }
    }
}

// Plays one sequence through on the compile's own state and appends its records to the
// temporary file.
class SequenceCompile {
public:
    SequenceCompile(const SequenceRecord &seq, BinaryStream &out) : seq_(seq), out_(out)
    {
        // Channels no fixture drives, and patch targets above the first output, show
        // what the live buffers hold.
        std::memcpy(levels_, DmxOutLevels, MaxChannels);
        std::memcpy(inverted_, DmxInverted, MaxChannels);
        std::memcpy(prev_, DmxPrevFrame, MaxChannels);
        std::memset(prev_, 0, FrameBytes);
    }

    enum class End { Done, Fatal, TooManyRecords };

    // Plays the sequence to its end; `recordLimit` is how many records may still be written.
    End Run(int recordLimit)
    {
        const int n = engine::SceneCountOf(&seq_);
        const bool cycles = (seq_.flags & SeqFlagCycle) != 0;
        const bool fades = (seq_.flags & SeqFlagFade) != 0;
        const int stepMode = StepModeOf(seq_.modes);
        const bool triggered = stepMode >= 2;
        engine::PlayerCursor cursor{-1, 0, 0, 0, 0};
        std::int32_t clock = -TickMs;
        bool first = true;
        bool firstTick = true;
        bool trigger = false;
        std::int32_t lastTime = 0;

        for (;;) {
            clock += TickMs;
            bool stepped = false;
            bool ended = false;
            bool dropFrame = false;
            const bool due = triggered ? (firstTick || trigger) : clock >= cursor.nextStepTime;
            if (due) {
                trigger = false;
                const SceneRecord *scene = engine::AdvanceScene(seq_, cursor, clock, false);
                if (cycles && !firstTick && cursor.scene == 0) {
                    ended = true;
                    dropFrame = true;
                } else if (!cycles && cursor.scene >= n - 1) {
                    ended = true;
                }
                if (scene)
                    std::memcpy(player_, scene->levels, MaxChannels);
                stepped = true;
                if (triggered && !fades)
                    trigger = true;
            }
            firstTick = false;

            if (fades && !dropFrame) {
                const SceneRecord *cur = engine::SceneAt(&seq_, cursor.scene);
                const SceneRecord *next = engine::SceneAt(&seq_, cursor.nextScene);
                if (!cur || !next)
                    return End::Fatal;
                if (clock >= cursor.fadeEnd || cursor.fadeTicks <= 0) {
                    std::memcpy(player_, next->levels, MaxChannels);
                } else {
                    const std::int64_t remaining = (std::int64_t(cursor.fadeEnd) - clock) / TickMs;
                    engine::FadeLevels(player_, cur->levels, next->levels, cursor.fadeTicks - remaining,
                                       cursor.fadeTicks, seq_.jumpTiming != 0);
                }
                if (triggered && clock >= cursor.fadeEnd)
                    trigger = true;
            }

            WriteFixtureChannels();

            if (!stepped && !ended && std::memcmp(levels_, prev_, FrameBytes) == 0)
                continue;
            std::memcpy(prev_, levels_, FrameBytes);
            for (int i = 0; i < FrameBytes; ++i)
                inverted_[i] = DmxInvert[i] ? static_cast<std::uint8_t>(~levels_[i]) : levels_[i];
            for (int i = 0; i < FrameBytes; ++i) {
                const int target = DmxPatch[i];
                block_[i] = target >= 0 && target < MaxChannels ? inverted_[target] : 0;
            }
            PutU16(block_.data() + 512, stepped ? 0 : NoSceneStart);
            const std::uint16_t timeWord = static_cast<std::uint16_t>(clock / TickMs - lastTime);
            lastTime = clock / TickMs;

            if (!first)
                out_.WriteU16(timeWord);
            if (!dropFrame) {
                if (records_ >= recordLimit)
                    return End::TooManyRecords;
                out_.Write(block_.data(), ImageBlockSize - 2);
                ++records_;
            }
            if (ended) {
                if (first || !dropFrame)
                    out_.WriteU16(timeWord);
                return End::Done;
            }
            first = false;
        }
    }

    int Records() const { return records_; }

private:
    // The player's levels onto every used channel of every patched fixture.
    void WriteFixtureChannels()
    {
        const int count = std::min<std::int64_t>(FixtureCount, static_cast<std::int64_t>(Fixtures.size()));
        for (int f = 0; f < count; ++f) {
            const FixtureRecord &fx = Fixtures[static_cast<std::size_t>(f)];
            const int channels = std::min<int>(fx.channelCount, MaxFixtureChannels);
            for (int j = 0; j < channels; ++j) {
                const int ch = fx.start + j;
                if (fx.used[j] && ch >= 0 && ch < MaxChannels)
                    levels_[ch] = player_[ch];
            }
        }
    }

    const SequenceRecord &seq_;
    BinaryStream &out_;
    std::uint8_t levels_[MaxChannels] = {};
    std::uint8_t inverted_[MaxChannels] = {};
    std::uint8_t prev_[MaxChannels] = {};
    std::uint8_t player_[MaxChannels] = {};
    Block block_ = FilledBlock();
    int records_ = 0;
};

// Links each scene start of one sequence's records to the next scene start; the last
// one points back to the first record (0).
void LinkSceneStarts(FileStream &temp, std::int64_t firstRecord, int count)
{
    std::int64_t previous = -1;
    for (int r = 0; r < count; ++r) {
        const std::int64_t at = (firstRecord + r) * ImageBlockSize + 512;
        temp.Seek(at);
        if (temp.ReadU16() != 0)
            continue;
        if (previous >= 0) {
            temp.Seek(previous);
            temp.WriteU16(static_cast<std::uint16_t>(r));
        }
        previous = at;
    }
    if (previous >= 0) {
        temp.Seek(previous);
        temp.WriteU16(0);
    }
}

} // namespace

std::uint8_t StandAloneFlags(bool dmxInEnabled, std::uint8_t dmxInMode, bool audioStart)
{
    std::uint8_t flags = dmxInEnabled ? static_cast<std::uint8_t>(dmxInMode & 0x07) : 0;
    if (audioStart)
        flags |= 0x80;
    return flags;
}

StandAloneResult CompileStandAloneImage(const StandAloneInput &input)
{
    StandAloneResult result;
    const int n = std::min(SequenceCount, ImageMaxSequences);
    if (n <= 0 || !Sequences[0]) {
        result.error = "No sequences, programming aborted";
        return result;
    }
    // A sequence without scenes cannot be played through; leaving it out would renumber
    // the sequences after it.
    for (int s = 0; s < n; ++s) {
        const SequenceRecord *seq = Sequences[static_cast<std::size_t>(s)];
        if (!seq || engine::SceneCountOf(seq) == 0 || !seq->scenes[0]) {
            result.error = "Sequence " + (seq ? seq->name : std::string()) + " has no scenes, programming aborted";
            return result;
        }
    }

    result.status = StandAloneResult::Failed;
    const std::string tempPath = PathIn(input.folder, StandAloneTempName);
    const std::string imagePath = PathIn(input.folder, StandAloneImageName);
    std::vector<SequenceEntry> entries;
    std::int64_t totalRecords = 0;
    try {
        FileStream temp(tempPath, FileStream::CreateWrite);
        for (int s = 0; s < n; ++s) {
            const SequenceRecord &seq = *Sequences[static_cast<std::size_t>(s)];
            SequenceCompile compile(seq, temp);
            const SequenceCompile::End end = compile.Run(static_cast<int>(ImageMaxRecords - totalRecords));
            if (end == SequenceCompile::End::TooManyRecords) {
                // No flash holds that many: reported like any image too large, none written.
                result.memo.push_back("Total Size:" + std::to_string(totalRecords + compile.Records()) + "+ scenes");
                result.memo.push_back("Programming is impossible, scenes counter > " + std::to_string(input.capacity));
                return result;
            }
            if (end == SequenceCompile::End::Fatal) {
                result.error = "Fatal error in calculation";
                return result;
            }
            SequenceEntry e;
            e.first = static_cast<std::int16_t>(totalRecords);
            e.count = static_cast<std::int16_t>(compile.Records());
            e.beatMs = static_cast<std::uint16_t>(60000 / std::max<std::int64_t>(seq.tempo, 1));
            e.cycle = (seq.flags & SeqFlagCycle) ? 1 : 0;
            const int step = seq.modes & 7;
            e.stepMode = static_cast<std::int8_t>(step >= 4 ? step - 8 : step);
            entries.push_back(e);
            result.memo.push_back(seq.name + " Addr:" + std::to_string(totalRecords) +
                                  " Scenes counter:" + std::to_string(compile.Records()));
            totalRecords += compile.Records();
            temp.Flush();
            if (temp.Size() != totalRecords * ImageBlockSize) {
                result.error = "Wrong Position";
                return result;
            }
        }

        Block header = FilledBlock();
        header[0] = input.flags;
        header[1] = input.delay;
        header[2] = static_cast<std::uint8_t>(n);
        header[3] = ImageLeadingBlocks;
        for (std::size_t k = 0; k < entries.size(); ++k) {
            std::uint8_t *e = header.data() + 4 + 8 * k;
            PutU16(e, static_cast<std::uint16_t>(entries[k].first));
            PutU16(e + 2, static_cast<std::uint16_t>(entries[k].count));
            PutU16(e + 4, entries[k].beatMs);
            e[6] = entries[k].cycle;
            e[7] = static_cast<std::uint8_t>(entries[k].stepMode);
        }
        Block offValues = FilledBlock(), startFrame = FilledBlock(), flags = FilledBlock();
        FillTableBlocks(offValues, startFrame, flags);

        for (const SequenceEntry &e : entries)
            LinkSceneStarts(temp, e.first, e.count);
        temp.Flush();

        const bool written = platform::WriteFileAtomically(imagePath, [&](const std::string &path) {
            FileStream image(path, FileStream::CreateWrite);
            const Block empty = FilledBlock();
            for (const Block *b : std::initializer_list<const Block *>{&header, &offValues, &startFrame, &flags, &empty, &empty, &empty, &empty})
                image.Write(b->data(), ImageBlockSize);
            temp.Seek(0);
            Block record;
            for (std::int64_t r = 0; r < totalRecords; ++r) {
                temp.Read(record.data(), ImageBlockSize);
                image.Write(record.data(), ImageBlockSize);
            }
            image.Flush();
            return true;
        });
        if (!written) {
            result.error = "Can't write file " + imagePath;
            return result;
        }
    } catch (const StreamError &) {
        result.error = "Can't write file " + tempPath;
        return result;
    }
    platform::RemoveFile(tempPath);

    result.status = StandAloneResult::Compiled;
    result.records = static_cast<std::int32_t>(totalRecords);
    result.memo.push_back("Total Size:" + std::to_string(totalRecords) + " scenes");
    result.fits = input.capacity >= totalRecords;
    if (result.fits)
        result.memo.push_back("Programming is possible");
    else
        result.memo.push_back("Programming is impossible, scenes counter > " + std::to_string(input.capacity));
    return result;
}
