// Writes seed inputs for the show reader fuzz target: a new show, one with a second
// sequence of scenes, and a configuration file.
#include "FuzzSetup.h"

#include "app/BinaryStream.h"
#include "app/ShowModel.h"
#include "fixtures/SetupFile.h"

#include <cstdio>
#include <fstream>

namespace {
void Save(const std::string &path, const MemoryStream &s)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char *>(s.Data().data()),
                                                static_cast<std::streamsize>(s.Data().size()));
}
} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds FOLDER\n");
        return 2;
    }
    std::string dir = argv[1];
    QuietShowCore();
    NewShow();
    MemoryStream a;
    WriteShow(a);
    Save(dir + "/new.d1k", a);

    SequenceRecord *seq = NewSequenceRecord(SequenceCount);
    seq->name = "SECOND";
    for (int i = 0; i < 3; ++i) {
        SceneRecord *scene = NewSceneRecord(seq);
        scene->levels[i] = 200;
        seq->scenes[seq->sceneCount++] = scene;
    }
    Sequences[SequenceCount++] = seq;
    MemoryStream b;
    WriteShow(b);
    Save(dir + "/two.d1k", b);

    MemoryStream c;
    SaveSetup(c, 1);
    Save(dir + "/config.cfg", c);
    return 0;
}
