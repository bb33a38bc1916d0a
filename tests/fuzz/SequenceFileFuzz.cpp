// Feeds arbitrary bytes to the sequence-file reader, the scene-file reader and the show
// preview: none may crash, hang or read past its input. A sequence or scene that reads is
// written back, read again and written again: both writes must give the same bytes.
#include "FuzzSetup.h"

#include "app/BinaryStream.h"
#include "app/SequenceFile.h"
#include "app/ShowPreview.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace {
MemoryStream WrittenSequence(const StagedSequence &staged)
{
    MemoryStream out;
    WriteSequenceFile(out, *staged.record);
    return out;
}
MemoryStream WrittenScene(const SceneRecord &scene)
{
    MemoryStream out;
    WriteSceneFile(out, scene);
    return out;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    QuietShowCore();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::vector<std::uint8_t> bytes(data, data + size);
    {
        MemoryStream in(bytes);
        StagedSequence staged;
        if (ReadSequenceFile(in, staged) == SequenceReadResult::Ok) {
            const MemoryStream first = WrittenSequence(staged);
            MemoryStream again(first.Data());
            StagedSequence reread;
            FuzzRequire(ReadSequenceFile(again, reread) == SequenceReadResult::Ok, "sequence written back reads");
            FuzzRequire(WrittenSequence(reread).Data() == first.Data(), "sequence second read equals the first");
        }
    }
    {
        MemoryStream in(bytes);
        auto scene = std::make_unique<SceneRecord>();
        if (ReadSceneFile(in, *scene)) {
            const MemoryStream first = WrittenScene(*scene);
            MemoryStream again(first.Data());
            auto reread = std::make_unique<SceneRecord>();
            FuzzRequire(ReadSceneFile(again, *reread), "scene written back reads");
            FuzzRequire(WrittenScene(*reread).Data() == first.Data(), "scene second read equals the first");
        }
    }
    {
        MemoryStream in(bytes);
        ShowPreviewLines(in);
    }
    return 0;
}
