// A test fixture that starts the program in this process with the engine timer stopped:
// a temporary program folder and settings store, scripted boxes with their log, the
// start-up show ("New Show" in demo mode), then an empty show for the test to fill.
// Ticks are called directly, the display timer by hand.
#pragma once

#include "TransportShow.h"

#include "app/Application.h"
#include "app/MainForm.h"
#include "app/WindowSeams.h"
#include "ui_MainForm.h"

#include "controls/SpeedButton.h"

#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Messages.h"
#include "platform/MsgBox.h"

#include "common/ProgramFolder.h"
#include "common/TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

class ProgramWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = testfiles::FreshFolder("brtv-window");
        log = testfiles::UseProgramFolder(root);
        ShowModified = 0;
        EngineBusy = 0;
        WindowSeams() = WindowSeamTable{};
        StartProgram();
        startupSequences = SequenceCount;
        startupBox = ui->Sequence->count();
        transport_test::ResetPlayState();
        form->TransportCreate();
    }
    void TearDown() override
    {
        transport_test::ResetPlayState();
        WindowSeams() = WindowSeamTable{};
        platform::SetMonotonicMsHook(nullptr);
        if (MainForm)
            DestroyProgramWindows();
        unsetenv("BRTV_BOX_LOG");
        platform::ResetAnswers();
        platform::SetProgramFolder("");
        std::filesystem::remove_all(root);
    }

    // Creates the program's windows as `main` does: no interface library in the program
    // folder, so demo mode, then "New Show".
    void StartProgram()
    {
        platform::QueueAnswers({"Yes", "1"});
        char arg0[] = "brantoval";
        char *argv[] = {arg0, nullptr};
        ASSERT_TRUE(CreateProgramWindows(1, argv));
        StopOutputTimer();   // the test ticks the engine itself
        form = MainForm;
        ui = form->ui;
    }

    std::string BoxLog() const { return testfiles::Read(log); }
    void Tick(int n = 1)
    {
        for (int i = 0; i < n; ++i)
            OutputTick();
    }

    std::filesystem::path root;
    std::string log;
    TMainForm *form = nullptr;
    Ui::TMainForm *ui = nullptr;
    int startupSequences = 0;   // what the start-up show held
    int startupBox = 0;
};
