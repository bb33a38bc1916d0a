#include "platform/Files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include "common/TestFiles.h"

#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
fs::path TempFolder(const char *name)
{
    fs::path p = fs::temp_directory_path() / ("brtv-files-" + std::to_string(::getpid()) + "-" + name);
    fs::remove_all(p);
    fs::create_directories(p);
    return p;
}

using testfiles::Read;

void Write(const fs::path &p, const std::string &s)
{
    std::ofstream(p, std::ios::binary) << s;
}
} // namespace

TEST(Files, NamesAreFoundWithoutRegardToCase)
{
    fs::path dir = TempFolder("case");
    Write(dir / "BRANTOVAL.CFG", "x");
    EXPECT_EQ(platform::FindFileNoCase(dir.string(), "brantoval.cfg").value_or(""), "BRANTOVAL.CFG");
    EXPECT_EQ(platform::ResolveNoCase(dir.string(), "Brantoval.cfg"), dir.string() + "/BRANTOVAL.CFG");
    EXPECT_FALSE(platform::FindFileNoCase(dir.string(), "PlanImg.bmp"));
    EXPECT_EQ(platform::ResolveNoCase(dir.string(), "PlanImg.bmp"), dir.string() + "/PlanImg.bmp");
    // The exact name wins over another spelling.
    Write(dir / "brantoval.cfg", "y");
    EXPECT_EQ(platform::FindFileNoCase(dir.string(), "brantoval.cfg").value_or(""), "brantoval.cfg");
    fs::remove_all(dir);
}

TEST(Files, ProgramFolderEndsWithASlashAndCanBeSet)
{
    std::string real = platform::ProgramFolder();
    ASSERT_FALSE(real.empty());
    EXPECT_EQ(real.back(), '/');
    platform::SetProgramFolder("/tmp/somewhere");
    EXPECT_EQ(platform::ProgramFolder(), "/tmp/somewhere/");
    platform::SetProgramFolder("");
    EXPECT_EQ(platform::ProgramFolder(), real);
}

TEST(Files, AtomicWriterReplacesOnlyOnSuccess)
{
    fs::path dir = TempFolder("atomic");
    fs::path target = dir / "Brantoval.cfg";
    Write(target, "old bytes");

    EXPECT_FALSE(platform::WriteFileAtomically(target.string(), [](const std::string &temp) {
        Write(temp, "half");
        return false;
    }));
    EXPECT_EQ(Read(target), "old bytes");
    EXPECT_FALSE(platform::WriteFileAtomically(target.string(), [](const std::string &temp) -> bool {
        Write(temp, "half");
        throw std::runtime_error("disk gone");
    }));
    EXPECT_EQ(Read(target), "old bytes");

    EXPECT_TRUE(platform::WriteFileAtomically(target.string(), [](const std::string &temp) {
        Write(temp, "new bytes");
        return true;
    }));
    EXPECT_EQ(Read(target), "new bytes");
    // No temporary file stays behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    // A folder that does not exist fails without a file.
    EXPECT_FALSE(platform::WriteFileAtomically((dir / "no/such.cfg").string(), [](const std::string &) { return true; }));
    fs::remove_all(dir);
}

TEST(Files, AtomicWriterRemovesLeftoversOfEndedWritersOnly)
{
    fs::path dir = TempFolder("leftovers");
    fs::path target = dir / "show.d1k";
    // A process that has ended: its id names no running process any more.
    pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ASSERT_GT(child, 0);
    ::waitpid(child, nullptr, 0);
    const std::string ended = std::to_string(child), running = std::to_string(::getpid());
    const fs::path crashed = dir / ("show.d1k.tmp-" + ended + "-a1B2c3");
    const fs::path busy = dir / ("show.d1k.tmp-" + running + "-x9Y8z7");
    const fs::path otherTarget = dir / ("other.d1k.tmp-" + ended + "-a1B2c3");
    const fs::path notOurs = dir / ("show.d1k.tmp-" + ended + "-long-name");
    for (const auto &p : {crashed, busy, otherTarget, notOurs})
        Write(p, "105 MB of an earlier save");

    std::string seenTemp;
    EXPECT_TRUE(platform::WriteFileAtomically(target.string(), [&](const std::string &temp) {
        seenTemp = fs::path(temp).filename().string();
        // The crashed writer's file is gone before this write starts.
        EXPECT_FALSE(fs::exists(crashed));
        Write(temp, "new show");
        return true;
    }));
    // The temporary name is the target's, with this process's id.
    EXPECT_EQ(seenTemp.rfind("show.d1k.tmp-" + running + "-", 0), 0u) << seenTemp;
    EXPECT_EQ(Read(target), "new show");
    EXPECT_TRUE(fs::exists(busy));
    EXPECT_TRUE(fs::exists(otherTarget));
    EXPECT_TRUE(fs::exists(notOurs));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 4);
    fs::remove_all(dir);
}
