// Files for tests: reading a whole file and a fresh folder of the running test's own.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace testfiles {

inline std::string Read(const std::filesystem::path &p)
{
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// An empty folder in the temporary folder, named after `prefix`, the process and the
// running test, so that tests running side by side never share one.
inline std::filesystem::path FreshFolder(const std::string &prefix)
{
    namespace fs = std::filesystem;
    fs::path p = fs::temp_directory_path() /
                 (prefix + "-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(p);
    fs::create_directories(p);
    return p;
}

} // namespace testfiles
