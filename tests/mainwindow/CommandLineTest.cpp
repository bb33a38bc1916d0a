#include "app/StartupState.h"

#include <gtest/gtest.h>

TEST(CommandLine, SwitchesSetTheStartMode)
{
    ResetStartMode();
    for (const char *a : {"/SEQUENCE:3", "/PLAY"}) {
        ASSERT_TRUE(IsCommandSwitch(a));
        ApplyCommandSwitch(a);
    }
    EXPECT_EQ(StartMode, 0);
    EXPECT_EQ(StartIndex, 2);
    EXPECT_EQ(AutoPlay, 1);

    ResetStartMode();
    ApplyCommandSwitch("/lis");
    EXPECT_EQ(StartMode, 2);
    ApplyCommandSwitch("/cuenumber:4");
    EXPECT_EQ(StartMode, 1);
    EXPECT_EQ(StartIndex, 3);

    // A number that is not one leaves the index alone.
    ResetStartMode();
    ApplyCommandSwitch("/sequence:x");
    EXPECT_EQ(StartMode, 0);
    EXPECT_EQ(StartIndex, -1);
    ApplyCommandSwitch("/sequence:-2");
    EXPECT_EQ(StartIndex, -1);
    ApplyCommandSwitch("/unknown");
    EXPECT_EQ(AutoPlay, 0);
    ResetStartMode();
}

TEST(CommandLine, ShowFilesAndWhatIsNotOne)
{
    EXPECT_EQ(ShowFileFromArgument("show.txt"), "show.d1k");
    EXPECT_EQ(ShowFileFromArgument("show.dmx"), "show.dmx");
    EXPECT_EQ(ShowFileFromArgument("show.DM7"), "show.dmx");
    EXPECT_EQ(ShowFileFromArgument("noext"), "");
    EXPECT_EQ(ShowFileFromArgument("./show"), "");
    EXPECT_EQ(ShowFileFromArgument("/home/a.b/show"), "");
    // An absolute path is a file, not a switch.
    EXPECT_FALSE(IsCommandSwitch("/tmp/x/show.d1k"));
    EXPECT_EQ(ShowFileFromArgument("/tmp/x/show.d1k"), "/tmp/x/show.d1k");
    EXPECT_TRUE(IsCommandSwitch("/PLAY"));
}
