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

TEST(MsgBox, FileDialogFiltersKeepATextThatAlreadyNamesItsPattern)
{
    using platform::FileDialogFilters;
    EXPECT_EQ(FileDialogFilters("Brantoval-1024(*.d1k)|*.d1k|Halvenor files|*.dmx"),
              QStringList({QStringLiteral("Brantoval-1024(*.d1k)"), QStringLiteral("Halvenor files (*.dmx)")}));
    // Several patterns: blanks between them, as the dialog reads them, in either form.
    EXPECT_EQ(FileDialogFilters("Text|*.a;*.b"), QStringList({QStringLiteral("Text (*.a *.b)")}));
    EXPECT_EQ(FileDialogFilters("All (*.bmp;*.ico)|*.bmp;*.ico|Icons (*.ico)|*.ico"),
              QStringList({QStringLiteral("All (*.bmp *.ico)"), QStringLiteral("Icons (*.ico)")}));
    // A text naming another pattern is not taken for this one; a lone text is dropped.
    EXPECT_EQ(FileDialogFilters("Old (*.x)|*.y|Lone"), QStringList({QStringLiteral("Old (*.x) (*.y)")}));
}

TEST(MsgBox, ScriptedOpenDialogReportsTheFilterMatchingTheAnswer)
{
    const char *filter = "Objects(*.cr3)|*.cr3|Libraries(*.3dx)|*.3dx";
    platform::QueueAnswers({"/a/Lib.3DX", "/a/b.cr3", "/a/c.txt", "Cancel"});
    int index = 0;
    EXPECT_EQ(platform::OpenFileDialog("Load", filter, "/a", &index), std::optional<std::string>("/a/Lib.3DX"));
    EXPECT_EQ(index, 2) << "without regard to case";
    EXPECT_TRUE(platform::OpenFileDialog("Load", filter, "/a", &index));
    EXPECT_EQ(index, 1);
    index = 0;
    EXPECT_TRUE(platform::OpenFileDialog("Load", filter, "/a", &index));
    EXPECT_EQ(index, 1) << "no filter matches: the first";
    EXPECT_FALSE(platform::OpenFileDialog("Load", filter, "/a", &index));
    platform::ResetAnswers();
}
