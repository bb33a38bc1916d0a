// The profile header: layout, older profiles, cut files, the name, the icon hint and the
// picture data.
#include "fixtures/ProfileFile.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>

namespace {

DspProfile SampleProfile()
{
    DspProfile p;
    p.count = 6;
    p.usedMask = 0x2F;
    for (int i = 0; i < DspChannels; ++i) {
        p.functions[i] = static_cast<std::uint8_t>(i % 9);
        p.defaults[i] = static_cast<std::int16_t>(i == 3 ? -1 : i * 7);
        p.blackOut[i] = static_cast<std::int16_t>(i == 4 ? -1 : 200 + i);
    }
    p.smoothMask = 0x21;
    p.name = "Spot 250";
    return p;
}

std::vector<std::uint8_t> Written(const DspProfile &p)
{
    MemoryStream s;
    WriteDspHeader(s, p);
    return s.Data();
}

std::uint32_t U32At(const std::vector<std::uint8_t> &d, std::size_t at)
{
    return std::uint32_t(d[at]) | (std::uint32_t(d[at + 1]) << 8) | (std::uint32_t(d[at + 2]) << 16) |
           (std::uint32_t(d[at + 3]) << 24);
}

std::int16_t I16At(const std::vector<std::uint8_t> &d, std::size_t at)
{
    return static_cast<std::int16_t>(d[at] | (d[at + 1] << 8));
}

// An older profile: no "BLCO", no "SMTH"; channels Pan, Tilt, Dimmer.
std::vector<std::uint8_t> OlderProfile(bool withSmooth)
{
    std::vector<std::uint8_t> d = {'D', 'S', 'L', '0', 3, 7, 0, 0, 0};
    std::uint8_t fn[32] = {FnPan, FnTilt, FnDimmer};
    d.insert(d.end(), fn, fn + 32);
    for (int i = 0; i < 32; ++i) {
        d.push_back(0xFF);
        d.push_back(0xFF);
    }
    if (withSmooth) {
        d.insert(d.end(), {'S', 'M', 'T', 'H', 0x04, 0, 0, 0});
    }
    d.insert(d.end(), {4, 'O', 'l', 'd', '1'});
    d.insert(d.end(), {'T', 'P', 'F', '0'});
    return d;
}

TEST(DspHeader, WriterPutsEveryFieldAtItsOffsetAndReadsBack)
{
    const DspProfile p = SampleProfile();
    const auto d = Written(p);
    ASSERT_EQ(d.size(), 182u + p.name.size());
    EXPECT_EQ(0, std::memcmp(d.data(), "DSL0", 4));
    EXPECT_EQ(d[4], 6);
    EXPECT_EQ(U32At(d, 5), 0x2Fu);
    for (int i = 0; i < 32; ++i) {
        EXPECT_EQ(d[9 + i], p.functions[i]);
        EXPECT_EQ(I16At(d, 41 + 2 * i), p.defaults[i]);
        EXPECT_EQ(I16At(d, 109 + 2 * i), p.blackOut[i]);
    }
    EXPECT_EQ(0, std::memcmp(d.data() + 105, "BLCO", 4));
    EXPECT_EQ(0, std::memcmp(d.data() + 173, "SMTH", 4));
    EXPECT_EQ(U32At(d, 177), 0x21u);
    EXPECT_EQ(d[181], p.name.size());
    EXPECT_EQ(std::string(d.begin() + 182, d.end()), p.name);

    MemoryStream s(d);
    DspProfile r;
    ASSERT_EQ(ReadDspHeader(s, r), DspReadResult::Ok);
    EXPECT_TRUE(r.hasBlackOut);
    EXPECT_TRUE(r.hasSmooth);
    EXPECT_EQ(r.iconOffset, std::int64_t(d.size()));
    EXPECT_EQ(Written(r), d);
}

TEST(DspHeader, OlderProfileGivesZeroBlackOutAndPanTiltSmooth)
{
    const auto d = OlderProfile(false);
    MemoryStream s(d);
    DspProfile r;
    ASSERT_EQ(ReadDspHeader(s, r), DspReadResult::Ok);
    EXPECT_FALSE(r.hasBlackOut);
    EXPECT_FALSE(r.hasSmooth);
    for (auto b : r.blackOut)
        EXPECT_EQ(b, 0);
    EXPECT_EQ(r.smoothMask, 0x3u);
    EXPECT_EQ(r.name, "Old1");
    EXPECT_EQ(r.defaults[0], -1);
    // The stream stands at the icon.
    EXPECT_EQ(r.iconOffset, std::int64_t(d.size()) - 4);

    // "SMTH" where "BLCO" would be: the stored mask counts.
    const auto d2 = OlderProfile(true);
    MemoryStream s2(d2);
    ASSERT_EQ(ReadDspHeader(s2, r), DspReadResult::Ok);
    EXPECT_FALSE(r.hasBlackOut);
    EXPECT_EQ(r.smoothMask, 0x4u);
    EXPECT_EQ(r.name, "Old1");

    // Saved again, the profile gets both blocks.
    const auto again = Written(r);
    EXPECT_EQ(0, std::memcmp(again.data() + 105, "BLCO", 4));
}

TEST(DspHeader, DerivedSmoothMaskStopsAtTheCount)
{
    auto d = OlderProfile(false);
    d[4] = 1; // only the Pan channel counts
    MemoryStream s(d);
    DspProfile r;
    ASSERT_EQ(ReadDspHeader(s, r), DspReadResult::Ok);
    EXPECT_EQ(r.smoothMask, 0x1u);
}

TEST(DspHeader, WrongMagicAndCutFilesFailWithoutTouchingTheProfile)
{
    const DspProfile keep = SampleProfile();
    auto d = Written(keep);
    d.push_back('T');

    auto bad = d;
    bad[3] = '1';
    MemoryStream sb(bad);
    DspProfile r = keep;
    EXPECT_EQ(ReadDspHeader(sb, r), DspReadResult::NotDsp);

    for (std::size_t cut = 0; cut < 182 + keep.name.size(); ++cut) {
        std::vector<std::uint8_t> part(d.begin(), d.begin() + std::ptrdiff_t(cut));
        MemoryStream s(part);
        DspProfile out;
        out.name = "untouched";
        const DspReadResult res = ReadDspHeader(s, out);
        EXPECT_EQ(res, cut < 4 ? DspReadResult::NotDsp : DspReadResult::Truncated) << cut;
        EXPECT_EQ(out.name, "untouched") << cut;
    }

    // A name length running past the end of the file.
    auto longName = d;
    longName.resize(182);
    longName[181] = 200;
    MemoryStream sl(longName);
    EXPECT_EQ(ReadDspHeader(sl, r), DspReadResult::Truncated);

    EXPECT_EQ(ReadDspHeaderFile("/nonexistent/x.dsp", r), DspReadResult::NotDsp);
}

TEST(DspHeader, NameOf255BytesRoundTripsAndLongerNamesAreCut)
{
    DspProfile p = SampleProfile();
    p.name.clear();
    for (int i = 0; i < 255; ++i)
        p.name += static_cast<char>(i + 1);
    const auto d = Written(p);
    EXPECT_EQ(d[181], 255);
    MemoryStream s(d);
    DspProfile r;
    ASSERT_EQ(ReadDspHeader(s, r), DspReadResult::Ok);
    EXPECT_EQ(r.name, p.name);

    p.name = std::string(300, 'x');
    const auto d2 = Written(p);
    EXPECT_EQ(d2[181], 255);
    EXPECT_EQ(d2.size(), 182u + 255u);
}

TEST(DspHeader, EachReaderClampsItsOwnWay)
{
    DspProfile p;
    p.count = 40;
    p.usedMask = 0xFFFFFFFF;
    DspProfile c = p;
    ClampForPanel(p);
    ClampForCatalogue(c);
    EXPECT_EQ(p.count, 32);
    EXPECT_EQ(p.usedMask, 0xFFFFFFFFu);
    EXPECT_EQ(c.count, 32);

    p.count = 4;
    p.usedMask = 0xFF;
    c = p;
    ClampForPanel(p);
    ClampForCatalogue(c);
    EXPECT_EQ(p.usedMask, 0x0Fu);
    EXPECT_EQ(c.usedMask, 0x0Fu);

    p.count = 0;
    p.usedMask = 0xFF;
    c = p;
    ClampForPanel(p);
    ClampForCatalogue(c);
    EXPECT_EQ(p.count, 0);
    EXPECT_EQ(p.usedMask, 0u);
    EXPECT_EQ(c.count, 1);
    EXPECT_EQ(c.usedMask, 1u);
}

TEST(IconHint, FormatsLikePrintfWhateverTheLocale)
{
    DspIconParams p;
    EXPECT_EQ(FormatIconHint(p), "10,180,90,0,0");
    p.beam = 12.5;
    p.pan = 540.25;
    p.tilt = 1234567.0;
    p.type = KindMovingHead;
    p.flags = IconFlagPanInvert | IconFlagTiltInvert;
    // A comma-decimal locale must not change the file.
    const char *old = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = old ? old : "C";
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    EXPECT_EQ(FormatIconHint(p), "12.5,540.25,1.23457e+06,1,6");
    DspIconParams r;
    ParseIconHint("12.5,540.25,1.23457e+06,1,6", r);
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_DOUBLE_EQ(r.beam, 12.5);
    EXPECT_DOUBLE_EQ(r.pan, 540.25);
    EXPECT_DOUBLE_EQ(r.tilt, 1234570.0);
    EXPECT_EQ(r.type, 1);
    EXPECT_EQ(r.flags, 6);
}

TEST(IconHint, ParsingTakesTheFieldsThatScan)
{
    DspIconParams r;
    ParseIconHint("", r);
    EXPECT_DOUBLE_EQ(r.beam, 10.0);
    EXPECT_DOUBLE_EQ(r.pan, 180.0);
    EXPECT_DOUBLE_EQ(r.tilt, 90.0);
    EXPECT_EQ(r.type, KindScanner);

    DspIconParams q;
    ParseIconHint("12.5,200", q);
    EXPECT_DOUBLE_EQ(q.beam, 12.5);
    EXPECT_DOUBLE_EQ(q.pan, 200.0);
    EXPECT_DOUBLE_EQ(q.tilt, 90.0);

    DspIconParams w;
    ParseIconHint(" 7 ,3", w); // the space before the comma stops the scan
    EXPECT_DOUBLE_EQ(w.beam, 7.0);
    EXPECT_DOUBLE_EQ(w.pan, 180.0);

    DspIconParams junk;
    ParseIconHint("abc,1,2", junk);
    EXPECT_DOUBLE_EQ(junk.beam, 10.0);
}

TEST(PictureData, BitmapAndIconLayoutsAndCutData)
{
    DspPictureData bmp;
    bmp.graphicClass = "TBitmap";
    bmp.file = {'B', 'M', 1, 2, 3};
    const auto d = BuildPictureData(bmp);
    ASSERT_EQ(d.size(), 1u + 7u + 4u + 5u);
    EXPECT_EQ(d[0], 7);
    EXPECT_EQ(d[8], 5);
    DspPictureData r;
    ASSERT_TRUE(ParsePictureData(d, r));
    EXPECT_EQ(r.graphicClass, "TBitmap");
    EXPECT_EQ(r.file, bmp.file);

    auto cut = d;
    cut.pop_back();
    EXPECT_FALSE(ParsePictureData(cut, r));
    EXPECT_FALSE(ParsePictureData({}, r));
    EXPECT_FALSE(ParsePictureData({9, 'T'}, r));

    DspPictureData ico;
    ico.graphicClass = "TIcon";
    ico.file = {0, 0, 1, 0};
    const auto di = BuildPictureData(ico);
    EXPECT_EQ(di.size(), 1u + 5u + 4u);
    ASSERT_TRUE(ParsePictureData(di, r));
    EXPECT_EQ(r.graphicClass, "TIcon");
    EXPECT_EQ(r.file, ico.file);
}

} // namespace
