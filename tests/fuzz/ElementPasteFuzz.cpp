// Feeds arbitrary bytes to the panel designer's paste as the element clipboard file: the
// class the stream names, an element of that kind made as the designer makes it, and the
// stream read onto it. Neither may crash, hang or read past the input. An element that
// read is copied again (the designer's Copy), pasted onto a new element and copied once
// more: both copies must give the same bytes.
#include "FuzzSetup.h"

#include "controls/ControlStreams.h"
#include "fixtures/TPanelWidgets.h"
#include "fixtures/TProfileStreams.h"

#include <QApplication>
#include <QWidget>
#include <cstdint>
#include <memory>

namespace {
// The element of the clipboard's class, made on `surface` as the designer makes one.
std::unique_ptr<QWidget> MakeElement(const QByteArray &file, QWidget &surface)
{
    const ClassDescriptor *d = findClassDescriptor(file.mid(5, quint8(file[4])));
    return std::unique_ptr<QWidget>(d ? d->create(&surface) : nullptr);
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "element_paste_fuzz";
    static char *argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    RegisterPanelClassDescriptors();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray file(reinterpret_cast<const char *>(data), qsizetype(size));
    if (ClipboardElementKind(file) == 0)
        return 0;
    QWidget surface;
    surface.resize(800, 600);
    std::unique_ptr<QWidget> pasted = MakeElement(file, surface);
    FuzzRequire(pasted != nullptr, "every element kind can be made");
    if (!ReadClipboardElement(file, *pasted).empty())
        return 0;
    const QByteArray copied = componentStream(*pasted);
    FuzzRequire(ClipboardElementKind(copied) != 0, "a copied element is an element stream");
    std::unique_ptr<QWidget> again = MakeElement(copied, surface);
    FuzzRequire(again && ReadClipboardElement(copied, *again).empty(), "a copied element pastes");
    FuzzRequire(componentStream(*again) == copied, "the second copy equals the first");
    return 0;
}
