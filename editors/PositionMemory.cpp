#include "PositionMemory.h"

#include "FixtureArea.h"
#include "PlayState.h"
#include "SceneFixtures.h"
#include "ShowFile.h"

#include "platform/MsgBox.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace {

const char *const AppCaption = "Brantoval-1024";

void ForEachReference(const std::function<void(std::uint8_t &ref)> &f)
{
    for (int s = 0; s < SequenceCount; ++s) {
        SequenceRecord *seq = Sequences[static_cast<std::size_t>(s)];
        if (!seq)
            continue;
        for (int k = 0; k < seq->sceneCount; ++k)
            if (SceneRecord *scene = seq->scenes[k])
                f(scene->positionRef);
    }
}

void CopyChannel(SceneRecord &scene, const PositionScene &pos, int c)
{
    if (c >= 0 && c < MaxChannels)
        scene.levels[c] = pos.levels[c];
}

} // namespace

PositionChannels PositionChannelsOf(const FixtureRecord &f)
{
    PositionChannels pc;
    const ChannelRoles roles = RolesOf(f);
    const auto at = [&f](int j) { return j < 0 ? -1 : f.start + j; };
    if (roles.HasPanTilt()) {
        pc.pan = at(roles.pan);
        pc.tilt = at(roles.tilt);
        if (roles.HasFine()) {
            pc.panFine = at(roles.panFine);
            pc.tiltFine = at(roles.tiltFine);
        }
    }
    for (int j = 0; j < f.channelCount && j < MaxFixtureChannels; ++j)
        if (FunctionOf(f, j) == FunctionFocus && f.start + j < MaxChannels)
            pc.focus.push_back(f.start + j);
    return pc;
}

PositionScene *PositionSceneAt(int number)
{
    if (number < 1 || number > PositionSceneCount || number > static_cast<int>(PositionScenes.size()))
        return nullptr;
    return &PositionScenes[static_cast<std::size_t>(number - 1)];
}

int AddPositionScene(int after)
{
    if (PositionSceneCount >= MaxPositionScenes) {
        platform::ShowMessage(AppCaption, "Can't create more than 255 positions");
        return 0;
    }
    after = std::clamp(after, 0, PositionSceneCount);
    // Growing may throw std::bad_alloc: the program's own handler ends it with its message.
    PositionScenes.insert(PositionScenes.begin() + after, PositionScene{});
    PositionScenes.resize(static_cast<std::size_t>(PositionSceneCount + 1));
    ++PositionSceneCount;
    ForEachReference([after](std::uint8_t &ref) {
        if (ref > after)
            ++ref;
    });
    ShowModified = 1;
    return after + 1;
}

int RemovePositionScene(int number)
{
    if (PositionSceneCount <= 1) {
        platform::ShowMessage(AppCaption, "This is the last position\r\nUse \"Position Memory\" -> \"Remove\"");
        return 0;
    }
    if (!PositionSceneAt(number))
        return 0;
    PositionScenes.erase(PositionScenes.begin() + (number - 1));
    --PositionSceneCount;
    PositionScenes.resize(static_cast<std::size_t>(PositionSceneCount));
    ForEachReference([number](std::uint8_t &ref) {
        if (ref == number)
            ref = 0;
        else if (ref > number)
            --ref;
    });
    ShowModified = 1;
    return std::max(1, number - 1);
}

int UpdatePositionReferences(int number)
{
    std::vector<PositionChannels> fixtures;
    for (int i = 0; i < FixtureCount && i < static_cast<int>(Fixtures.size()); ++i) {
        PositionChannels pc = PositionChannelsOf(Fixtures[static_cast<std::size_t>(i)]);
        if (pc.HasPanTilt())
            fixtures.push_back(std::move(pc));
    }
    int changed = 0;
    for (int s = 0; s < SequenceCount; ++s) {
        SequenceRecord *seq = Sequences[static_cast<std::size_t>(s)];
        if (!seq)
            continue;
        for (int k = 0; k < seq->sceneCount; ++k) {
            SceneRecord *scene = seq->scenes[k];
            if (!scene || scene->positionRef == 0 || (number != 0 && scene->positionRef != number))
                continue;
            const PositionScene *pos = PositionSceneAt(scene->positionRef);
            if (!pos)
                continue;   // a reference the table does not hold
            for (const PositionChannels &pc : fixtures) {
                CopyChannel(*scene, *pos, pc.pan);
                CopyChannel(*scene, *pos, pc.tilt);
                for (int c : pc.focus)
                    CopyChannel(*scene, *pos, c);
                if (pc.HasFine()) {
                    CopyChannel(*scene, *pos, pc.panFine);
                    CopyChannel(*scene, *pos, pc.tiltFine);
                }
            }
            ++changed;
        }
    }
    ShowModified = 1;
    return changed;
}

bool TakePositionsFromCurrentScene(int number)
{
    PositionScene *pos = PositionSceneAt(number);
    const SceneRecord *scene = CurrentSceneRecord();
    if (!pos || !scene)
        return false;
    std::memcpy(pos->levels, scene->levels, MaxChannels);
    ShowModified = 1;
    return true;
}
