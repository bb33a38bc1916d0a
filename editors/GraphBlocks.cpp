#include "GraphBlocks.h"

#include "ValueChart.h"

#include "app/FixtureArea.h"
#include "app/SequenceEditing.h"

#include <algorithm>

std::vector<std::uint8_t> CopyBuffer;
int CopyBufferChannels = 0, CopyBufferScenes = 0;
std::uint8_t CopyBufferValid = 0;
UndoBlock UndoBuffer;

namespace {
const FixtureRecord *FixtureAtIndex(int fixture)
{
    return FixtureIndexValid(fixture) ? &Fixtures[static_cast<std::size_t>(fixture)] : nullptr;
}

// Channels of the fixture that lie inside the 1024 channels.
int ChannelLimit(const FixtureRecord &f)
{
    return std::min<int>({f.channelCount, MaxFixtureChannels, MaxChannels - f.start});
}
} // namespace

bool ClampSelection(int fixture)
{
    const FixtureRecord *f = FixtureAtIndex(fixture);
    const SequenceRecord *seq = EditableSequence();
    if (!SelectionValid || !f || !seq) {
        SelectionValid = 0;
        return false;
    }
    const int channels = ChannelLimit(*f);
    if (SelFirstScene > SelLastScene)
        std::swap(SelFirstScene, SelLastScene);
    if (SelFirstChannel > SelLastChannel)
        std::swap(SelFirstChannel, SelLastChannel);
    SelFirstScene = std::max(0, SelFirstScene);
    SelFirstChannel = std::max(0, SelFirstChannel);
    SelLastScene = std::min(SelLastScene, seq->sceneCount - 1);
    SelLastChannel = std::min(SelLastChannel, channels - 1);
    if (SelFirstScene > SelLastScene || SelFirstChannel > SelLastChannel) {
        SelectionValid = 0;
        return false;
    }
    return true;
}

BlockRange SelectionRange()
{
    return {SelFirstScene, SelLastScene, SelFirstChannel, SelLastChannel};
}

void SaveUndoBlock(int fixture, int sequence, int firstScene, int sceneCount, int firstChannel, int channelCount)
{
    UndoBuffer = UndoBlock{fixture, sequence, firstScene, sceneCount, firstChannel, channelCount, {}};
    UndoBlockValid = 0;
    const FixtureRecord *f = FixtureAtIndex(fixture);
    const SequenceRecord *seq = SequenceAt(sequence);
    if (!f || !seq || sceneCount < 1 || channelCount < 1 || firstScene < 0 || firstScene + sceneCount > seq->sceneCount)
        return;
    UndoBuffer.bytes.reserve(static_cast<std::size_t>(sceneCount) * static_cast<std::size_t>(channelCount));
    for (int c = firstChannel; c < firstChannel + channelCount; ++c)
        for (int s = firstScene; s < firstScene + sceneCount; ++s)
            UndoBuffer.bytes.push_back(SceneLevel(*seq->scenes[s], *f, c));
    UndoBlockValid = 1;
}

bool RestoreUndoTable()
{
    if (!UndoBlockValid)
        return false;
    UndoBlockValid = 0;
    const UndoBlock &u = UndoBuffer;
    const FixtureRecord *f = FixtureAtIndex(u.fixture);
    SequenceRecord *seq = SequenceAt(u.sequence);
    if (!f || !seq || u.firstScene < 0 || u.firstScene + u.sceneCount > seq->sceneCount || u.firstChannel < 0 ||
        u.firstChannel + u.channelCount > ChannelLimit(*f) ||
        u.bytes.size() != static_cast<std::size_t>(u.sceneCount) * static_cast<std::size_t>(u.channelCount))
        return false;
    std::size_t i = 0;
    for (int c = u.firstChannel; c < u.firstChannel + u.channelCount; ++c)
        for (int s = u.firstScene; s < u.firstScene + u.sceneCount; ++s)
            SetSceneLevel(*seq->scenes[s], *f, c, u.bytes[i++]);
    return true;
}

void ForgetBlocks()
{
    UndoBlockValid = 0;
    UndoBuffer = UndoBlock{};
    CopyBufferValid = 0;
    CopyBuffer.clear();
    CopyBufferChannels = CopyBufferScenes = 0;
    SelectionValid = 0;
}

bool CopyBlock(int fixture)
{
    if (!ClampSelection(fixture))
        return false;
    const FixtureRecord &f = Fixtures[static_cast<std::size_t>(fixture)];
    const SequenceRecord &seq = *EditableSequence();
    const BlockRange r = SelectionRange();
    CopyBufferScenes = r.Scenes();
    CopyBufferChannels = r.Channels();
    CopyBuffer.assign(static_cast<std::size_t>(CopyBufferScenes) * static_cast<std::size_t>(CopyBufferChannels), 0);
    std::size_t i = 0;
    for (int c = r.firstChannel; c <= r.lastChannel; ++c)
        for (int s = r.firstScene; s <= r.lastScene; ++s, ++i)
            if (f.used[c])
                CopyBuffer[i] = SceneLevel(*seq.scenes[s], f, c);
    SelectionValid = 0;
    CopyBufferValid = 1;
    return true;
}

BlockRange PasteRange(int fixture)
{
    BlockRange r;
    const FixtureRecord *f = FixtureAtIndex(fixture);
    const SequenceRecord *seq = EditableSequence();
    if (!f || !seq || !CopyBufferValid || ChosenChannel < 0)
        return r;
    r.firstScene = CurScene;
    r.lastScene = CurScene + std::min(CopyBufferScenes, seq->sceneCount - CurScene) - 1;
    r.firstChannel = ChosenChannel;
    r.lastChannel = ChosenChannel + std::min(CopyBufferChannels, ChannelLimit(*f) - ChosenChannel) - 1;
    return r;
}

namespace {
// Lays the buffer (from its first row and scene) into `r` starting at scene `from`.
void LayBuffer(const FixtureRecord &f, SequenceRecord &seq, const BlockRange &r, int from, int scenes)
{
    for (int c = r.firstChannel; c <= r.lastChannel; ++c) {
        const int row = c - r.firstChannel;
        for (int k = 0; k < scenes; ++k) {
            const std::uint8_t v =
                f.used[c] ? CopyBuffer[static_cast<std::size_t>(row) * static_cast<std::size_t>(CopyBufferScenes) +
                                       static_cast<std::size_t>(k)]
                          : 0;
            SetSceneLevel(*seq.scenes[from + k], f, c, v);
        }
    }
}
} // namespace

bool PasteBlock(int fixture)
{
    const BlockRange r = PasteRange(fixture);
    if (r.Scenes() < 1 || r.Channels() < 1)
        return false;
    SaveUndoBlock(fixture, CurSequence, r.firstScene, r.Scenes(), r.firstChannel, r.Channels());
    LayBuffer(Fixtures[static_cast<std::size_t>(fixture)], *EditableSequence(), r, r.firstScene, r.Scenes());
    return true;
}

bool ClearBlock(int fixture)
{
    if (!ClampSelection(fixture))
        return false;
    const FixtureRecord &f = Fixtures[static_cast<std::size_t>(fixture)];
    SequenceRecord &seq = *EditableSequence();
    const BlockRange r = SelectionRange();
    SaveUndoBlock(fixture, CurSequence, r.firstScene, r.Scenes(), r.firstChannel, r.Channels());
    for (int c = r.firstChannel; c <= r.lastChannel; ++c)
        if (f.used[c])
            for (int s = r.firstScene; s <= r.lastScene; ++s)
                SetSceneLevel(*seq.scenes[s], f, c, 0);
    SelectionValid = 0;
    CopyBufferValid = 0;
    return true;
}

int FillRepeats()
{
    if (!CopyBufferValid || CopyBufferScenes < 1)
        return 0;
    return (SelLastScene - SelFirstScene + 1) / CopyBufferScenes;
}

BlockRange FillRange(int fixture)
{
    BlockRange r = SelectionRange();
    if (!ClampSelection(fixture) || !CopyBufferValid)
        return BlockRange{};
    r = SelectionRange();
    r.lastChannel = r.firstChannel + std::min(CopyBufferChannels, r.Channels()) - 1;
    return r;
}

bool FillBlock(int fixture)
{
    const BlockRange r = FillRange(fixture);
    const int repeats = FillRepeats();
    if (r.Channels() < 1 || repeats < 1)
        return false;
    const BlockRange sel = SelectionRange();
    SaveUndoBlock(fixture, CurSequence, sel.firstScene, sel.Scenes(), sel.firstChannel, sel.Channels());
    const FixtureRecord &f = Fixtures[static_cast<std::size_t>(fixture)];
    SequenceRecord &seq = *EditableSequence();
    for (int k = 0; k < repeats; ++k)
        LayBuffer(f, seq, r, r.firstScene + k * CopyBufferScenes, CopyBufferScenes);
    return true;
}
