// Feeds arbitrary bytes to the fixture profile reader (header, icon stream with its
// picture data and parameters, element streams) and to the icon's picture-data reader.
// Neither may crash, hang or read past its input. A profile that reads is written back
// with the profile writer and read again; writing that second read must give the same
// bytes. The same for picture data that reads.
#include "FuzzSetup.h"

#include "fixtures/TPanelWidgets.h"
#include "fixtures/TProfileStreams.h"

#include <QApplication>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <vector>

namespace {

struct ReadProfile {
    DspProfile header;
    DspIconParams params;
    QWidget surface;
    TImage icon;
    std::vector<PanelElement> list;
    bool headerRead = false;
    ProfileReadResult result;

    explicit ReadProfile(const QByteArray &file)
    {
        surface.resize(800, 600);
        qsizetype pos = 0;
        result = ReadDspHeaderAndIcon(file, header, icon, params, pos);
        headerRead = result == ProfileReadResult::Ok;
        if (headerRead)
            result = ReadDspElements(file, pos, &surface, list, {});
    }
    QByteArray Bytes() { return BuildDspProfile(header, icon, params, list, &surface); }
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "profile_reader_fuzz";
    static char *argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray file(reinterpret_cast<const char *>(data), qsizetype(size));
    {
        ReadProfile first(file);
        // A damaged element stream keeps the elements before it: those are written back too.
        if (first.headerRead) {
            const QByteArray written = first.Bytes();
            ReadProfile second(written);
            FuzzRequire(second.result == ProfileReadResult::Ok, "profile written back reads");
            FuzzRequire(second.Bytes() == written, "profile second read equals the first");
        }
    }
    {
        const std::vector<std::uint8_t> bytes(data, data + size);
        DspPictureData first;
        if (ParsePictureData(bytes, first)) {
            DspPictureData second;
            FuzzRequire(ParsePictureData(BuildPictureData(first), second), "picture data written back reads");
            FuzzRequire(second.graphicClass == first.graphicClass && second.file == first.file,
                        "picture data second read equals the first");
            TImage icon;
            if (icon.SetPictureData(file))
                FuzzRequire(icon.PictureData() == file, "picture data kept as read");
        }
    }
    return 0;
}
