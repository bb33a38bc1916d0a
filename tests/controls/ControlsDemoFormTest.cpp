// The demo form places the library's controls through uic, promoted from plain widgets.
#include "controls/Faders.h"
#include "ui_ControlsDemo.h"

#include <gtest/gtest.h>

TEST(ControlsDemoForm, UicAppliesPromotedFaderProperties)
{
    QWidget form;
    Ui::ControlsDemo ui;
    ui.setupUi(&form);
    EXPECT_EQ(ui.LevelFader->Max(), 1000);
    EXPECT_EQ(ui.LevelFader->Color(), clRed);
    EXPECT_EQ(ui.LevelFader->Position(), 250);
    EXPECT_EQ(ui.FocusFader->Max(), 100);
}
