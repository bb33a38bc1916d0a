// The shortcut texts and the key file "Brantoval.key": what a file holds byte for byte,
// the older headerless form, and files cut anywhere.
#include "live/HotKeys.h"
#include "platform/MsgBox.h"

#include <QString>
#include <gtest/gtest.h>

namespace {

std::string Bytes(const MemoryStream &s)
{
    return std::string(s.Data().begin(), s.Data().end());
}

HotKeyFile Read(const std::string &bytes)
{
    MemoryStream s(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    return ReadHotKeyFile(s);
}

} // namespace

TEST(HotKeyText, NamesModifiersAndKeysWithoutAName)
{
    const std::pair<std::uint16_t, const char *> cases[] = {
        {0x6074, "Ctrl+Shift+F5"}, {96, "Grey 0"},      {106, "Grey *"},      {111, "Grey /"},
        {186, ";"},                {192, "`"},          {219, "["},           {222, "'"},
        {8, "Backspace"},          {32, "Blank"},       {40, "Arrow Down"},   {0x2010, "Shift+None"},
        {0x40C8, "None"},          {0x8041, "Alt+A"},   {0xE07B, "Ctrl+Alt+Shift+F12"},
        {0x4090, "Ctrl+None"},     {9, "None"},         {0x35, "5"},          {105, "Grey 9"}};
    for (const auto &[code, text] : cases)
        EXPECT_EQ(HotKeyText(code), text) << std::hex << code;
}

TEST(HotKeyFile, WrittenAsTheFormatSaysAndReadBack)
{
    const std::vector<HotKeyRecord> records = {
        {0x4041, "PMst2", "Physical Master2 Bump"}, {0, "Show", "Show"}, {0x2076, "PlayList1", "Play List"}};
    MemoryStream s;
    WriteHotKeyFile(s, records);
    const std::string expected = std::string("KEYS\0\0\0\0", 8) + std::string("\x41\x40\x05PMst2\x15Physical Master2 Bump", 30) +
                                 std::string("\x00\x00\x04Show\x04Show", 12) +
                                 std::string("\x76\x20\x09PlayList1\x09Play List", 22);
    EXPECT_EQ(Bytes(s), expected);

    const HotKeyFile back = Read(expected);
    EXPECT_TRUE(back.withHeader);
    ASSERT_EQ(back.records.size(), 3u);
    for (std::size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(back.records[i].shortcut, records[i].shortcut);
        EXPECT_EQ(back.records[i].name, records[i].name);
        EXPECT_EQ(back.records[i].caption, records[i].caption);
    }

    // Cut at every length: the whole records before the cut, nothing read past the end.
    const std::size_t ends[] = {8, 8 + 30, 8 + 30 + 12, expected.size()};
    for (std::size_t n = 0; n <= expected.size(); ++n) {
        const HotKeyFile cut = Read(expected.substr(0, n));
        if (n < 8)
            continue;   // shorter than the header: the older form, checked below
        std::size_t whole = 0;
        while (whole < 3 && ends[whole + 1] <= n)
            ++whole;
        EXPECT_TRUE(cut.withHeader) << n;
        EXPECT_EQ(cut.records.size(), whole) << n;
    }

    // A caption stored as bytes: "é" is the one byte 0xE9; a character with no byte is '?'.
    MemoryStream c;
    WriteHotKeyFile(c, {{0, "Exit1", platform::ToBytes(QString::fromUtf8("Café \u20ac\u4e00"))}});
    EXPECT_EQ(Bytes(c).substr(8), std::string("\x00\x00\x05" "Exit1\x07" "Caf\xE9 \x80?", 16));
}

TEST(HotKeyFile, WithoutTheHeaderTheOlderRecordsAreRead)
{
    // Older records: u16, u8 n, name; no caption.
    const std::string older = std::string("\x4B\x40\x04GoOn\x00\x00\x03New", 13);
    HotKeyFile f = Read(older);
    EXPECT_FALSE(f.withHeader);
    ASSERT_EQ(f.records.size(), 2u);
    EXPECT_EQ(f.records[0].shortcut, 0x404B);
    EXPECT_EQ(f.records[0].name, "GoOn");
    EXPECT_EQ(f.records[1].name, "New");
    EXPECT_TRUE(f.records[1].caption.empty());

    // "KEYT" and four zeros is no header: read from the start as older records.
    // Its first record ("KE", a name of 'Y' = 89 bytes) is cut: nothing is set.
    f = Read(std::string("KEYT\0\0\0\0", 8));
    EXPECT_FALSE(f.withHeader);
    EXPECT_TRUE(f.records.empty());
    f = Read(std::string("KEYT\0\0\0\0", 8) + older);
    EXPECT_FALSE(f.withHeader);
    // A file under 8 bytes: older records too, the cut one dropped.
    f = Read(std::string("\x41\x00\x02", 3));
    EXPECT_FALSE(f.withHeader);
    EXPECT_TRUE(f.records.empty());
    f = Read(std::string("\x41\x00\x01X", 4));
    ASSERT_EQ(f.records.size(), 1u);
    EXPECT_EQ(f.records[0].name, "X");
}

TEST(HotKeyFile, IndentGrowsWithTheDepth)
{
    EXPECT_EQ(IndentedCaption(0, "Show"), "Show");
    EXPECT_EQ(IndentedCaption(2, "Cue1"), "        Cue1");
}
