// Whole profiles through the component-stream codec: byte-identical round trips of every
// element kind, the element order, kept picture bytes, and damaged files.
#include "ProfileBuilder.h"

#include "controls/Buttons.h"
#include "controls/ColourMixer.h"
#include "controls/ComponentStream.h"
#include "controls/ControlStreams.h"
#include "controls/Faders.h"
#include "controls/Knob.h"
#include "controls/PanTiltPad.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace {

struct ReadBack {
    DspProfile header;
    DspIconParams params;
    QWidget surface;
    TImage icon;
    std::vector<PanelElement> list;
    ProfileReadResult headerResult = ProfileReadResult::NotDsp;
    ProfileReadResult elementResult = ProfileReadResult::NotDsp;

    explicit ReadBack(const QByteArray &file)
    {
        surface.resize(800, 600);
        qsizetype pos = 0;
        headerResult = ReadDspHeaderAndIcon(file, header, icon, params, pos);
        if (headerResult == ProfileReadResult::Ok)
            elementResult = ReadDspElements(file, pos, &surface, list, [this](PanelElement &) { ++bound; });
    }
    int bound = 0;
    QByteArray Bytes() { return BuildDspProfile(header, icon, params, list, &surface); }
    std::vector<int> Kinds() const
    {
        std::vector<int> k;
        for (const auto &e : list)
            k.push_back(e.kind);
        return k;
    }
};

// One element of each of the ten kinds; a knob and a colour button inside a group box.
void AddAllKinds(ProfileBuilder &b)
{
    b.Channel(0, FnPan, true);
    b.Channel(1, FnPanFine, true);
    b.Channel(2, FnTilt, true);
    b.Channel(3, FnTiltFine);
    b.Channel(4, FnColor, false, 0, 0);
    b.Channel(5, FnGobo, false, 12, -1);
    b.Channel(6, FnDimmer, true, 255, 0);
    b.Channel(7, FnFocus);
    b.params.beam = 15.5;
    b.params.type = KindMovingHead;
    b.params.flags = IconFlagPanInvert;
    b.icon.SetPicture(SolidImage(32, 32, qRgb(200, 20, 20)));

    auto *label = b.Add<TLabel>(ElLabel, 10, 4, 0);
    label->SetCaption("Caption \xE9\xFF");
    label->resize(120, 13);
    TFontSettings f;
    f.Style = fsBold;
    f.Height = -13;
    label->SetFont(f);
    auto *pad = b.Add<TFieldXY>(ElFieldXY, 10, 20, MakeTag(0, 2, 1, 3));
    pad->Set16bit(true);
    pad->SetX(100);
    pad->SetY(30);
    pad->SetFineX(7);
    auto *slider = b.Add<TSlider>(ElSlider, 300, 20, MakeTag(6, 7));
    slider->resize(40, 200);
    slider->Set16bit(true);
    slider->SetPosition(100);
    auto *sliderh = b.Add<TSliderh>(ElSliderh, 300, 240, MakeTag(7));
    sliderh->resize(200, 40);
    sliderh->SetMax(200);
    auto *cmy = b.Add<TCMY>(ElCMY, 360, 20, MakeTag(4, 5, 6));
    cmy->resize(84, 72);
    cmy->SetMagenta(90);
    auto *image = b.Add<TSpeedButton>(ElImageButton, 460, 20, MakeTag(4, 40, 8));
    image->resize(40, 40);
    image->SetCaption("Yel");
    image->SetGlyph(SolidImage(16, 16, qRgb(255, 255, 0)));
    auto *multi = b.Add<TMultiButton>(ElMultiButton, 460, 70, 0);
    multi->SetChannels(0, 5);
    multi->SetChannels(1, -1);
    multi->SetChannels(2, 255);
    multi->SetCaption("All");
    auto *group = b.Add<TGroupBox>(ElGroupBox, 10, 320, 0);
    group->resize(200, 100);
    group->SetCaption("Colours");
    group->SetColor(clSilver);
    auto *knob = b.Add<TKnobL>(ElKnob, 10, 20, MakeTag(5), group);
    knob->resize(50, 50);
    knob->SetPosition(77);
    auto *white = b.Add<TCBTC>(ElColorButton, 70, 20, MakeTag(4, 255), group);
    white->SetColor(clWhite);
}

TEST(ProfileStreams, EveryKindRoundTripsByteForByte)
{
    ProfileBuilder b;
    AddAllKinds(b);
    const QByteArray first = b.Bytes();
    const int L = int(b.header.name.size());
    ASSERT_GT(first.size(), 182 + L + 4);
    EXPECT_EQ(first.left(4), "DSL0");
    EXPECT_EQ(first.mid(105, 4), "BLCO");
    EXPECT_EQ(first.mid(173, 4), "SMTH");
    EXPECT_EQ(quint8(first[181]), L);
    EXPECT_EQ(first.mid(182 + L, 4), "TPF0");
    EXPECT_EQ(first.mid(182 + L + 4, 7), QByteArray("\x06TImage"));
    EXPECT_EQ(first.mid(182 + L + 11, 8), QByteArray("\x07" "DevIcon"));

    ReadBack r(first);
    ASSERT_EQ(r.headerResult, ProfileReadResult::Ok);
    ASSERT_EQ(r.elementResult, ProfileReadResult::Ok);
    // Surface elements first in list order, then the group box with its elements.
    EXPECT_EQ(r.Kinds(), (std::vector<int>{ElLabel, ElFieldXY, ElSlider, ElSliderh, ElCMY, ElImageButton,
                                           ElMultiButton, ElGroupBox, ElKnob, ElColorButton}));
    EXPECT_EQ(r.list[8].control->parentWidget(), r.list[7].control.data());
    EXPECT_EQ(r.list[9].control->parentWidget(), r.list[7].control.data());
    EXPECT_EQ(r.list[0].control->parentWidget(), &r.surface);
    EXPECT_DOUBLE_EQ(r.params.beam, 15.5);
    EXPECT_EQ(r.params.type, KindMovingHead);
    EXPECT_EQ(r.params.flags, IconFlagPanInvert);
    EXPECT_TRUE(r.icon.HintText().isEmpty());
    EXPECT_EQ(r.icon.Picture().size(), QSize(32, 32));
    EXPECT_EQ(static_cast<TLabel *>(r.list[0].control.data())->Caption(), QByteArray("Caption \xE9\xFF"));
    auto *multi = static_cast<TMultiButton *>(r.list[6].control.data());
    EXPECT_EQ(multi->GetChannels(0), 5);
    EXPECT_EQ(multi->GetChannels(1), -1);
    EXPECT_EQ(multi->GetChannels(2), 255);
    EXPECT_EQ(static_cast<TKnobL *>(r.list[8].control.data())->Position(), 77);

    EXPECT_EQ(r.Bytes(), first);
    EXPECT_EQ(r.bound, 10);

    // The full reader in one call gives the same.
    DspProfile header;
    DspIconParams params;
    TImage icon;
    QWidget surface;
    std::vector<PanelElement> list;
    EXPECT_EQ(ReadDspProfile(first, header, icon, params, &surface, list, {}), ProfileReadResult::Ok);
    EXPECT_EQ(list.size(), 10u);
    EXPECT_EQ(BuildDspProfile(header, icon, params, list, &surface), first);
}

TEST(ProfileStreams, NoElementsEndsAfterTheIcon)
{
    ProfileBuilder b;
    const QByteArray bytes = b.Bytes();
    ReadBack r(bytes);
    ASSERT_EQ(r.headerResult, ProfileReadResult::Ok);
    EXPECT_EQ(r.elementResult, ProfileReadResult::Ok);
    EXPECT_TRUE(r.list.empty());
    EXPECT_EQ(r.Bytes(), bytes);
}

TEST(ProfileStreams, EmptyIconHintGivesTheDefaults)
{
    ProfileBuilder b;
    const qsizetype icon = 182 + qsizetype(b.header.name.size());
    TImage plain;
    plain.resize(32, 32);
    const QByteArray bytes = b.Bytes().left(icon) + componentStream(plain, "DevIcon");
    ReadBack r(bytes);
    ASSERT_EQ(r.headerResult, ProfileReadResult::Ok);
    EXPECT_DOUBLE_EQ(r.params.beam, 10.0);
    EXPECT_DOUBLE_EQ(r.params.pan, 180.0);
    EXPECT_DOUBLE_EQ(r.params.tilt, 90.0);
    EXPECT_EQ(r.params.type, KindScanner);

    TImage partial;
    partial.SetHintText("12.5,200");
    const QByteArray bytes2 = b.Bytes().left(icon) + componentStream(partial, "DevIcon");
    ReadBack r2(bytes2);
    EXPECT_DOUBLE_EQ(r2.params.beam, 12.5);
    EXPECT_DOUBLE_EQ(r2.params.pan, 200.0);
    EXPECT_DOUBLE_EQ(r2.params.tilt, 90.0);
}

TEST(ProfileStreams, ElementListedBeforeItsGroupIsWrittenAfterIt)
{
    ProfileBuilder b;
    auto *group = new TGroupBox(&b.surface);
    group->move(5, 5);
    auto *knob = b.Add<TKnobL>(ElKnob, 3, 15, MakeTag(1), group);
    b.list.push_back(PanelElement{ElGroupBox, group});
    b.Add<TKnobL>(ElKnob, 300, 15, MakeTag(2));
    (void)knob;
    ReadBack r(b.Bytes());
    ASSERT_EQ(r.elementResult, ProfileReadResult::Ok);
    ASSERT_EQ(r.Kinds(), (std::vector<int>{ElKnob, ElGroupBox, ElKnob}));
    EXPECT_EQ(TagByte(static_cast<TKnobL *>(r.list[0].control.data())->Tag(), 0), 2);
    EXPECT_EQ(r.list[2].control->parentWidget(), r.list[1].control.data());
}

// The offset just past `marker` and the binary value header that follows it.
qsizetype BinaryAfter(const QByteArray &bytes, const char *marker)
{
    const qsizetype at = bytes.indexOf(marker);
    return at < 0 ? -1 : at + qsizetype(qstrlen(marker)) + 5;
}

TEST(ProfileStreams, StreamedPicturesKeepTheirBytesUntilReplaced)
{
    ProfileBuilder b;
    auto *image = b.Add<TSpeedButton>(ElImageButton, 5, 5, MakeTag(0, 1));
    image->SetGlyph(SolidImage(8, 8, qRgb(0, 0, 255)));
    b.icon.SetPicture(SolidImage(32, 32, qRgb(0, 255, 0)));
    QByteArray bytes = b.Bytes();
    // Bitmaps of another writer: reserved header bytes that Qt's writer leaves 0.
    const qsizetype glyph = BinaryAfter(bytes, "Glyph.Data") + 4;
    const qsizetype picture = BinaryAfter(bytes, "Picture.Data") + 1 + 7 + 4;
    ASSERT_EQ(bytes.mid(glyph, 2), "BM");
    ASSERT_EQ(bytes.mid(picture, 2), "BM");
    bytes[glyph + 6] = 0x11;
    bytes[picture + 7] = 0x22;

    ReadBack r(bytes);
    ASSERT_EQ(r.elementResult, ProfileReadResult::Ok);
    EXPECT_EQ(r.Bytes(), bytes);

    // Replaced pictures are written afresh.
    static_cast<TSpeedButton *>(r.list[0].control.data())->SetGlyph(SolidImage(8, 8, qRgb(0, 0, 255)));
    r.icon.SetPicture(SolidImage(32, 32, qRgb(0, 255, 0)));
    EXPECT_EQ(r.Bytes(), b.Bytes());
}

TEST(ProfileStreams, IconPictureFromAnIconFile)
{
    QByteArray ico;
    {
        QBuffer buf(&ico);
        buf.open(QIODevice::WriteOnly);
        ASSERT_TRUE(SolidImage(32, 32, qRgb(10, 20, 30)).save(&buf, "ICO"));
    }
    QByteArray data;
    data.append(char(5)).append("TIcon").append(ico);
    ProfileBuilder b;
    ASSERT_TRUE(b.icon.SetPictureData(data));
    EXPECT_TRUE(b.icon.IsIcon());
    EXPECT_EQ(b.icon.Picture().size(), QSize(32, 32));
    const QByteArray bytes = b.Bytes();
    ReadBack r(bytes);
    ASSERT_EQ(r.headerResult, ProfileReadResult::Ok);
    EXPECT_TRUE(r.icon.IsIcon());
    EXPECT_EQ(r.icon.PictureData(), data);
    EXPECT_EQ(r.Bytes(), bytes);

    // Picture data that is no picture is refused and leaves the image as it was.
    QByteArray bad;
    bad.append(char(7)).append("TBitmap").append("\x10\0\0\0BM", 6);
    EXPECT_FALSE(b.icon.SetPictureData(bad));
    EXPECT_TRUE(b.icon.IsIcon());
}

// A profile without elements followed by the given streams.
QByteArray WithStreams(const QList<QByteArray> &streams)
{
    ProfileBuilder b;
    QByteArray bytes = b.Bytes();
    for (const auto &s : streams)
        bytes += s;
    return bytes;
}

QByteArray KnobStream(int channel)
{
    TKnobL k;
    k.SetTag(channel);
    k.move(channel * 10, 0);
    return componentStream(k);
}

QByteArray ForeignStream(const QByteArray &className)
{
    ComponentWriter w;
    w.writeSignature();
    w.beginComponent(className, "Other");
    w.writePropName("Left");
    w.writeInteger(3);
    w.writePropName("Items.Strings");
    w.beginList();
    w.writeString("a");
    w.endList();
    w.writeEndOfList();
    // a child component
    w.beginComponent("TTimer", "T1");
    w.writeEndOfList();
    w.writeEndOfList();
    w.writeEndOfList();
    return w.data();
}

TEST(ProfileStreams, DamagedElementStreamsKeepWhatWasRead)
{
    // A third stream without "TPF0".
    {
        ReadBack r(WithStreams({KnobStream(1), KnobStream(2), "XPF0\x06TKnobL"}));
        EXPECT_EQ(r.elementResult, ProfileReadResult::FormatError);
        EXPECT_EQ(r.list.size(), 2u);
    }
    // A stream cut inside its properties: the half-made element is gone.
    {
        const QByteArray k = KnobStream(3);
        ReadBack r(WithStreams({KnobStream(1), k.left(k.size() - 5)}));
        EXPECT_EQ(r.elementResult, ProfileReadResult::FormatError);
        ASSERT_EQ(r.list.size(), 1u);
        EXPECT_EQ(r.surface.findChildren<QWidget *>().size(), 1);
    }
    // Just the signature at the end.
    {
        ReadBack r(WithStreams({KnobStream(1), "TPF0"}));
        EXPECT_EQ(r.elementResult, ProfileReadResult::FormatError);
        EXPECT_EQ(r.list.size(), 1u);
    }
}

TEST(ProfileStreams, ComponentsOfOtherClassesAreSkipped)
{
    const QByteArray longName(45, 'T');
    ReadBack r(WithStreams({ForeignStream("TButton"), KnobStream(1), ForeignStream("TImage"),
                            ForeignStream(longName), KnobStream(2)}));
    EXPECT_EQ(r.elementResult, ProfileReadResult::Ok);
    ASSERT_EQ(r.Kinds(), (std::vector<int>{ElKnob, ElKnob}));
    EXPECT_EQ(static_cast<TKnobL *>(r.list[1].control.data())->Tag(), 2);
    EXPECT_EQ(r.surface.findChildren<QWidget *>().size(), 2);
}

TEST(ProfileStreams, CutOrCorruptedProfilesNeverLeaveStrayWidgets)
{
    ProfileBuilder b;
    AddAllKinds(b);
    const QByteArray good = b.Bytes();
    for (qsizetype i = 0; i < good.size(); i += 13) {
        for (int variant = 0; variant < 2; ++variant) {
            QByteArray bad = good;
            if (variant == 0)
                bad.truncate(i);
            else
                bad[i] = char(~quint8(bad[i]));
            ReadBack r(bad);
            // Every widget on the surface or in a group box is a listed element.
            QList<QWidget *> placed = r.surface.findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
            QList<QWidget *> listed;
            for (const auto &e : r.list) {
                ASSERT_TRUE(e.control) << i;
                listed.append(e.control);
                if (e.kind == ElGroupBox)
                    placed += e.control->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
            }
            for (QWidget *w : placed)
                EXPECT_TRUE(listed.contains(w)) << i << " " << w->metaObject()->className();
        }
    }
}

TEST(ProfileStreams, BadMagicCutHeaderAndBadIconReadNothing)
{
    ProfileBuilder b;
    QByteArray good = b.Bytes();

    QByteArray magic = good;
    magic[0] = 'X';
    EXPECT_EQ(ReadBack(magic).headerResult, ProfileReadResult::NotDsp);
    EXPECT_EQ(ReadBack(good.left(150)).headerResult, ProfileReadResult::FormatError);

    const qsizetype icon = 182 + qsizetype(b.header.name.size());
    DspProfile header;
    header.name = "kept";
    TImage img;
    DspIconParams params;
    qsizetype pos = -1;
    // The icon stream cut short, and a stream of another class in its place.
    EXPECT_EQ(ReadDspHeaderAndIcon(good.left(icon + 10), header, img, params, pos), ProfileReadResult::FormatError);
    QByteArray other = good.left(icon) + KnobStream(1);
    EXPECT_EQ(ReadDspHeaderAndIcon(other, header, img, params, pos), ProfileReadResult::FormatError);
    EXPECT_EQ(header.name, "kept");
    EXPECT_EQ(pos, -1);
}

} // namespace
