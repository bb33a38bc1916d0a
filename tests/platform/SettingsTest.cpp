#include "platform/Settings.h"
#include "platform/SettingsText.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include "common/TestFiles.h"

namespace fs = std::filesystem;

namespace {
// Each test gets its own settings folder.
class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = testfiles::FreshFolder("brtv-settings");
        setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string FileText()
    {
        std::ifstream in(platform::SettingsFilePath());
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    fs::path dir;
};
} // namespace

TEST_F(SettingsTest, KeyPathsAreNormalised)
{
    EXPECT_EQ(platform::Settings::NormaliseKey("\\Software\\Brantoval\\Positions\\X"), "Software/Brantoval/Positions/X");
    EXPECT_EQ(platform::Settings::NormaliseKey("Software/Brantoval//Positions/X/"), "Software/Brantoval/Positions/X");
    platform::Settings s;
    s.WriteInteger("\\Software\\Brantoval\\Positions\\X", "Left", 12);
    EXPECT_EQ(s.ReadInteger("Software/Brantoval/Positions/X", "Left"), 12);
    EXPECT_TRUE(s.KeyExists("Software\\Brantoval"));
}

TEST_F(SettingsTest, MissingValuesReadEmptyAndSaySo)
{
    platform::Settings s;
    EXPECT_FALSE(s.KeyExists("Software\\Brantoval\\MainWindow"));
    EXPECT_FALSE(s.ValueExists("Software\\Brantoval\\MainWindow", "Size"));
    EXPECT_EQ(s.ReadInteger("Software\\Brantoval\\MainWindow", "Size"), 0);
    EXPECT_EQ(s.ReadString("Software\\Brantoval\\MainWindow", "Size"), "");
    EXPECT_TRUE(s.ReadBinary("Software\\Brantoval\\MainWindow", "PWD").empty());
    s.CreateKey("Software\\Brantoval\\MainWindow");
    EXPECT_TRUE(s.KeyExists("Software\\Brantoval\\MainWindow"));
    EXPECT_FALSE(s.ValueExists("Software\\Brantoval\\MainWindow", "Size"));
}

TEST_F(SettingsTest, ValuesSurviveTheFileWithTheirBytes)
{
    {
        platform::Settings s;
        s.WriteInteger("Software\\Brantoval\\MainWindow", "Size", -7);
        s.WriteString("Software\\Brantoval\\History", "File1", "/tmp/a b\\c\nd.d1k");
        s.WriteBinary("Software\\Brantoval\\MainWindow", "PWD", {0, 1, 0xFF, 0x7F});
        ASSERT_TRUE(s.Flush());
    }
    std::string text = FileText();
    EXPECT_NE(text.find("[Software/Brantoval/MainWindow]"), std::string::npos);
    EXPECT_NE(text.find("Size=-7"), std::string::npos);
    // A new settings folder makes the store read the file again.
    setenv("XDG_CONFIG_HOME", (dir / "other").c_str(), 1);
    { platform::Settings other; EXPECT_FALSE(other.KeyExists("Software\\Brantoval")); }
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    platform::Settings s;
    EXPECT_EQ(s.ReadInteger("Software\\Brantoval\\MainWindow", "Size"), -7);
    EXPECT_EQ(s.ReadString("Software\\Brantoval\\History", "File1"), "/tmp/a b\\c\nd.d1k");
    EXPECT_EQ(s.ReadBinary("Software\\Brantoval\\MainWindow", "PWD"), (std::vector<std::uint8_t>{0, 1, 0xFF, 0x7F}));
}

TEST_F(SettingsTest, HandEditedFileReadsTheSameAfterAWrite)
{
    // A value whose line ends in two "\r" (an editor's CR CR LF), an unknown escape,
    // comments, a value outside any section and a section written with backslashes.
    fs::create_directories(platform::SettingsFolder());
    {
        std::ofstream out(platform::SettingsFilePath(), std::ios::binary);
        out << "Orphan=1\n; note\n[\\Software\\Brantoval\\X]\r\nPath=C:\\q\r\r\nName=a\\\\b\n";
    }
    platform::Settings s;
    EXPECT_EQ(s.ReadString("Software/Brantoval/X", "Path"), "C:q\r");
    EXPECT_EQ(s.ReadString("Software/Brantoval/X", "Name"), "a\\b");
    EXPECT_FALSE(s.ValueExists("Software/Brantoval/X", "Orphan"));
    s.WriteInteger("Software/Brantoval/Y", "N", 3);   // makes the store write the file
    ASSERT_TRUE(s.Flush());
    const std::string written = FileText();
    EXPECT_EQ(platform::FormatSettingsText(platform::ParseSettingsText(written)), written);
    const auto keys = platform::ParseSettingsText(written);
    EXPECT_EQ(platform::UnescapeSettingsValue(keys.at("Software/Brantoval/X").at("Path")), "C:q\r");
    EXPECT_EQ(platform::UnescapeSettingsValue(keys.at("Software/Brantoval/X").at("Name")), "a\\b");
}

// A file the reader cannot take whole is kept beside, byte for byte, before anything is
// written; what could be read is used. A file the program wrote, or one with blank lines,
// comments and CR LF line ends, is taken whole and nothing is kept.
TEST_F(SettingsTest, FileNotTakenWholeIsKeptAsBadBeforeAnyWrite)
{
    // A binary value that does not decode is its reader's business, not the file's.
    const std::string good = "; note\r\n# note\n\n[Software/Brantoval/MainWindow]\r\nPWD=hex:00ff10\nName=a\\\\b\\r\n"
                             "VisufPars=hex:2z\n";
    const std::vector<std::string> bad = {
        "[Software/Brantoval/MainWindow]\nSize=1\ngarbage\n",          // not a section nor a value
        "Size=1\n[Software/Brantoval/MainWindow]\n",                   // a value outside any section
        "[Software/Brantoval/MainWindow]\nPath=C:\\q\n",               // an escape never written
        "[Software/Brantoval/MainWindow]\nPath=C:\\\n",                // a lone backslash
        "[Software/Brantoval/MainWindow]\nPath=a\rb\n",                // a raw CR inside
        "[Software/Brantoval/MainWindow]\nSize=1\n\x8f\x01\xff",        // random bytes
    };
    int n = 0;
    auto use = [&](const std::string &text) {
        const fs::path folder = dir / std::to_string(n++);
        setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
        fs::create_directories(platform::SettingsFolder());
        std::ofstream(platform::SettingsFilePath(), std::ios::binary) << text;
    };
    use(good);
    {
        platform::Settings s;
        EXPECT_TRUE(s.FileReadWhole());
        EXPECT_EQ(s.ReadBinaryValue("Software/Brantoval/MainWindow", "PWD"), (std::vector<std::uint8_t>{0, 0xFF, 0x10}));
        s.WriteInteger("Software/Brantoval/MainWindow", "Size", 1);
        ASSERT_TRUE(s.Flush());
    }
    EXPECT_FALSE(fs::exists(platform::SettingsFilePath() + ".bad"));
    {
        // What the program wrote reads whole again.
        const std::string written = FileText();
        use(written);
        platform::Settings s;
        EXPECT_TRUE(s.FileReadWhole()) << written;
    }
    for (const std::string &text : bad) {
        use(text);
        SCOPED_TRACE(text);
        platform::Settings s;
        EXPECT_FALSE(s.FileReadWhole());
        EXPECT_EQ(testfiles::Read(platform::SettingsFilePath() + ".bad"), text);
        EXPECT_EQ(FileText(), text) << "nothing written yet";
        s.WriteInteger("Software/Brantoval/MainWindow", "Size", 2);
        ASSERT_TRUE(s.Flush());
        EXPECT_EQ(testfiles::Read(platform::SettingsFilePath() + ".bad"), text);
        EXPECT_EQ(s.ReadInteger("Software/Brantoval/MainWindow", "Size"), 2);
    }
    // A held file is not written, whatever changes.
    use(bad.back());
    platform::Settings s;
    s.HoldFile();
    s.WriteInteger("Software/Brantoval/MainWindow", "Size", 3);
    EXPECT_FALSE(s.Flush());
    EXPECT_EQ(FileText(), bad.back());
    EXPECT_EQ(s.ReadInteger("Software/Brantoval/MainWindow", "Size"), 3);
}
