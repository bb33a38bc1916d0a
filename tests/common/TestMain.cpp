// Common entry of every test binary: an offscreen Qt application around GoogleTest.
#include <QApplication>
#include <cstdlib>
#include <string_view>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    // Test discovery may run the binary without CTest's environment.
#ifdef BRTV_OFFSCREEN_CONFIG
    // A binary that needs an offscreen screen of a given size brings its own description.
    if (const char *qpa = std::getenv("QT_QPA_PLATFORM"); !qpa || std::string_view(qpa) == "offscreen")
        setenv("QT_QPA_PLATFORM", "offscreen:configfile=" BRTV_OFFSCREEN_CONFIG, 1);
#endif
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("BRTV_SOURCE_DIR", BRTV_SOURCE_DIR_DEFAULT, 0);
    setenv("BRTV_BIN_DIR", BRTV_BIN_DIR_DEFAULT, 0);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
