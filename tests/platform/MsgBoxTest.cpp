#include "platform/MsgBox.h"

#include <QDialog>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

TEST(MsgBox, ScriptedAnswersAreTakenInOrderAndLogged)
{
    std::string log = (std::filesystem::temp_directory_path() / ("brtv-box-" + std::to_string(::getpid()))).string();
    std::remove(log.c_str());
    setenv("BRTV_BOX_LOG", log.c_str(), 1);
    platform::ResetAnswers();
    platform::QueueAnswers({"Cancel", "yes", "OK", "OK", "3", "/tmp/show.d1k"});
    using platform::Answer;
    using platform::Buttons;
    EXPECT_EQ(platform::MessageBox("Brantoval-1024", "The Show was modified. Save file ?", Buttons::YesNoCancel),
              Answer::Cancel);
    EXPECT_EQ(platform::MessageBox("C", "q", Buttons::YesNo), Answer::Yes);
    // An answer the box does not offer counts as the box's default.
    EXPECT_EQ(platform::MessageBox("C", "q", Buttons::YesNo), Answer::No);
    // An OK-only box takes an "OK" but leaves any other answer for the next question.
    EXPECT_EQ(platform::MessageBox("C", "notice", Buttons::Ok), Answer::Ok);
    EXPECT_EQ(platform::MessageBox("C", "notice", Buttons::Ok), Answer::Ok);
    QDialog dialog;
    dialog.setWindowTitle("Start");
    EXPECT_EQ(platform::RunModalDialog(dialog), 3);
    EXPECT_EQ(platform::OpenFileDialog("Open File Show", "a|*.d1k").value_or(""), "/tmp/show.d1k");
    // With no answers left: No, OK for an OK-only box, 0 for a dialog, cancel for a file.
    EXPECT_EQ(platform::MessageBox("C", "q", Buttons::YesNo), Answer::No);
    EXPECT_EQ(platform::MessageBox("C", "q", Buttons::Ok), Answer::Ok);
    EXPECT_EQ(platform::RunModalDialog(dialog), 0);
    EXPECT_FALSE(platform::SaveFileDialog("Save", "a|*.d1k"));
    unsetenv("BRTV_BOX_LOG");
    platform::ResetAnswers();

    std::ifstream in(log);
    std::string first;
    std::getline(in, first);
    EXPECT_EQ(first, "Brantoval-1024|The Show was modified. Save file ?|Cancel");
    std::remove(log.c_str());
}

TEST(MsgBox, EightBitTextSurvivesDisplayConversion)
{
    std::string all;
    for (int i = 1; i < 256; ++i)
        all += static_cast<char>(i);
    EXPECT_EQ(platform::ToBytes(platform::FromBytes(all)), all);
    EXPECT_EQ(platform::FromBytes("\x80").at(0).unicode(), 0x20AC);
    EXPECT_EQ(platform::DisplayText("a\r\nb"), QStringLiteral("a\nb"));
}
