#include "controls/RegForm.h"
#include "platform/Settings.h"

#include <QTemporaryDir>
#include <QWidget>
#include <QWindow>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

const char *Key = "\\Software\\Brantoval\\Positions\\MainForm";

// Each test has its own settings folder; forms start at a known "resource" geometry.
struct RegFormTest : ::testing::Test {
    QTemporaryDir dir;
    void SetUp() override { setenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit().constData(), 1); }
    static void MakeForm(QWidget &w)
    {
        w.setObjectName(QStringLiteral("MainForm"));
        w.setGeometry(100, 80, 400, 300);
    }
};

TEST_F(RegFormTest, NoRecordKeepsTheResourcePlace)
{
    QWidget w;
    MakeForm(w);
    TRegForm keeper(&w);
    EXPECT_EQ(keeper.RegKey(), Key);
    keeper.Loaded();
    EXPECT_EQ(w.geometry(), QRect(100, 80, 400, 300));
    EXPECT_EQ(w.windowState(), Qt::WindowNoState);
}

TEST_F(RegFormTest, RoundTripWritesFourIntegersAndOneStateByte)
{
    {
        QWidget w;
        MakeForm(w);
        TRegForm keeper(&w);
        keeper.Loaded();
        w.show();
        w.move(30, 40);
        w.resize(500, 350);
        bool canClose = true;
        keeper.CloseQuery(&w, canClose);
        EXPECT_TRUE(canClose);
    }
    platform::Settings store;
    EXPECT_EQ(store.ReadIntegerValue(Key, "Width"), 500);
    EXPECT_EQ(store.ReadIntegerValue(Key, "Height"), 350);
    EXPECT_TRUE(store.ReadIntegerValue(Key, "Left").has_value());
    auto state = store.ReadBinaryValue(Key, "WindowState");
    ASSERT_TRUE(state);
    EXPECT_EQ(*state, std::vector<std::uint8_t>{0});

    QWidget again;
    MakeForm(again);
    TRegForm keeper(&again);
    keeper.Loaded();
    EXPECT_EQ(again.size(), QSize(500, 350));
    EXPECT_EQ(again.pos().x(), *store.ReadIntegerValue(Key, "Left"));
    keeper.Loaded();   // once only
}

TEST_F(RegFormTest, MaximisedSkipsTheBoundsAndNormalGivesTheResourceGeometry)
{
    {
        platform::Settings store;
        store.WriteBinary(Key, "WindowState", {2});
        store.WriteInteger(Key, "Left", 5);
        store.WriteInteger(Key, "Top", 6);
        store.WriteInteger(Key, "Width", 700);
        store.WriteInteger(Key, "Height", 500);
    }
    QWidget w;
    MakeForm(w);
    TRegForm keeper(&w);
    keeper.Loaded();
    EXPECT_TRUE(w.windowState() & Qt::WindowMaximized);
    w.setWindowState(Qt::WindowNoState);
    EXPECT_EQ(w.geometry(), QRect(100, 80, 400, 300));
}

TEST_F(RegFormTest, AWrongTypeValueEndsTheRestoreKeepingWhatWasSet)
{
    {
        platform::Settings store;
        store.WriteBinary(Key, "WindowState", {0});
        store.WriteInteger(Key, "Left", 11);
        store.WriteInteger(Key, "Top", 12);
        store.WriteBinary(Key, "Width", {1, 2});
        store.WriteInteger(Key, "Height", 999);
    }
    QWidget w;
    MakeForm(w);
    TRegForm keeper(&w);
    keeper.Loaded();
    EXPECT_EQ(w.pos(), QPoint(11, 12));
    EXPECT_EQ(w.size(), QSize(400, 300));

    // A missing state byte ends it before anything is applied; a stored 0 is a value.
    platform::Settings store;
    EXPECT_EQ(store.ReadIntegerValue(Key, "Nothing"), std::nullopt);
    EXPECT_EQ(store.ReadIntegerValue(Key, "Width"), std::nullopt);
    store.WriteInteger(Key, "Zero", 0);
    EXPECT_EQ(store.ReadIntegerValue(Key, "Zero"), 0);
    EXPECT_EQ(store.ReadBinaryValue(Key, "Left"), std::nullopt);
}

TEST_F(RegFormTest, NothingIsWrittenWhenRefusedDisabledOrNeverShown)
{
    QWidget w;
    MakeForm(w);
    int asked = 0;
    TRegForm keeper(&w, [&](QObject *, bool &canClose) {
        ++asked;
        canClose = false;
    });
    bool canClose = true;
    keeper.CloseQuery(&w, canClose);   // never shown: no window handle
    w.show();
    keeper.CloseQuery(&w, canClose);   // the window's own question refuses
    EXPECT_FALSE(canClose);
    EXPECT_EQ(asked, 2);

    QWidget v;
    MakeForm(v);
    TRegForm off(&v);
    off.RegEnabled = false;
    v.show();
    bool yes = true;
    off.CloseQuery(&v, yes);
    EXPECT_TRUE(yes);

    platform::Settings store;
    EXPECT_FALSE(store.KeyExists(Key));
}

TEST_F(RegFormTest, SetRegKeyDropsTheTrailingBackslashAndIgnoresEmpty)
{
    QWidget w;
    MakeForm(w);
    TRegForm keeper(&w);
    keeper.SetRegKey("");
    EXPECT_EQ(keeper.RegKey(), Key);
    keeper.SetRegKey("\\Software\\Brantoval\\Positions\\Other\\");
    EXPECT_EQ(keeper.RegKey(), "\\Software\\Brantoval\\Positions\\Other");
    keeper.RegEnabled = false;
    {
        platform::Settings store;
        store.WriteBinary(keeper.RegKey(), "WindowState", {2});
    }
    keeper.Loaded();
    EXPECT_FALSE(w.windowState() & Qt::WindowMaximized) << "disabled: no restore";
}

} // namespace
