// Feeds arbitrary bytes to the sequence-file reader, the scene-file reader and the show
// preview: none may crash, hang or read past its input.
#include "FuzzSetup.h"

#include "app/BinaryStream.h"
#include "app/SequenceFile.h"
#include "app/ShowPreview.h"

#include <cstdint>
#include <memory>
#include <vector>

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
        ReadSequenceFile(in, staged);
    }
    {
        MemoryStream in(bytes);
        auto scene = std::make_unique<SceneRecord>();
        ReadSceneFile(in, *scene);
    }
    {
        MemoryStream in(bytes);
        ShowPreviewLines(in);
    }
    return 0;
}
