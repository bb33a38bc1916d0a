#include "controls/OpenPreviewDialog.h"
#include "platform/MsgBox.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QTemporaryDir>
#include <QTextEdit>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace {

struct PreviewDialogTest : ::testing::Test {
    QTemporaryDir dir;
    std::string log;
    void SetUp() override
    {
        log = dir.filePath(QStringLiteral("box.log")).toStdString();
        setenv("BRTV_BOX_LOG", log.c_str(), 1);
        platform::ResetAnswers();
    }
    void TearDown() override
    {
        platform::ResetAnswers();
        unsetenv("BRTV_BOX_LOG");
    }
    QString MakeFile(const QString &name)
    {
        QFile f(dir.filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write("x");
        return f.fileName();
    }
    std::string Log() const
    {
        std::ifstream in(log);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static void Select(TKpOpenPreviewDialog &d, const QString &path)
    {
        emit d.currentChanged(path);
    }
};

TEST_F(PreviewDialogTest, UpperCaseExtensionIsPreviewedThroughTheLowerCaseEntry)
{
    TKpOpenPreviewDialog d;
    d.SetCustomPreviewExt({QStringLiteral("d1k"), QStringLiteral("dmx")});
    std::vector<std::string> calls;
    d.OnPreview = [&](TKpOpenPreviewDialog *sender, const std::string &ext) {
        EXPECT_EQ(sender, &d);
        calls.push_back(ext);
        sender->FPreviewText->setPlainText(QStringLiteral("Fixtures: 3"));
        sender->SetCaption("Show");
    };
    Select(d, MakeFile(QStringLiteral("SHOW.D1K")));
    EXPECT_EQ(calls, std::vector<std::string>{"d1k"});
    EXPECT_FALSE(d.FPreviewText->isHidden());
    EXPECT_TRUE(d.FPreviewImage->isHidden());
    EXPECT_EQ(d.GetCaption(), "Show");
    EXPECT_EQ(d.FPreviewText->toPlainText(), QStringLiteral("Fixtures: 3"));

    // Not a listed extension, a missing file, a folder: empty text pane, no call.
    Select(d, MakeFile(QStringLiteral("notes.txt")));
    Select(d, dir.filePath(QStringLiteral("gone.d1k")));
    QDir(dir.path()).mkdir(QStringLiteral("folder.d1k"));
    Select(d, dir.filePath(QStringLiteral("folder.d1k")));
    EXPECT_EQ(calls.size(), 1u);
    EXPECT_TRUE(d.FPreviewText->toPlainText().isEmpty());
    EXPECT_FALSE(d.FPreviewText->isHidden());
    EXPECT_TRUE(d.FPreviewImage->isHidden());
}

TEST_F(PreviewDialogTest, ImageOnlyHandlerGetsTheImageShownAndANewImageEachTime)
{
    TKpOpenPreviewDialog d;
    d.SetCustomPreviewExt({QStringLiteral("dsp")});
    QPointer<QLabel> previous;
    int calls = 0;
    d.OnPreview = [&](TKpOpenPreviewDialog *sender, const std::string &) {
        if (calls++)
            EXPECT_TRUE(previous.isNull()) << "the old image is freed";
        previous = sender->FPreviewImage;
        QPixmap p(32, 32);
        p.fill(Qt::red);
        sender->FPreviewImage->setPixmap(p);
    };
    QString path = MakeFile(QStringLiteral("spot.dsp"));
    Select(d, path);
    Select(d, path);
    EXPECT_FALSE(d.FPreviewImage->isHidden());
    EXPECT_TRUE(d.FPreviewText->isHidden());
    EXPECT_EQ(d.FPreviewImage->objectName(), QStringLiteral("FPreviewImage"));
}

TEST_F(PreviewDialogTest, ThrowingHandlerSaysErrorPreviewAndLeavesAnEmptyPane)
{
    platform::QueueAnswers({});
    TKpOpenPreviewDialog d;
    d.SetCustomPreviewExt({QStringLiteral("d1k")});
    d.OnPreview = [](TKpOpenPreviewDialog *sender, const std::string &) {
        sender->FPreviewText->setPlainText(QStringLiteral("half"));
        throw std::runtime_error("bad show");
    };
    Select(d, MakeFile(QStringLiteral("a.d1k")));
    EXPECT_EQ(Log(), "|Error Preview|OK\n");
    EXPECT_TRUE(d.FPreviewText->toPlainText().isEmpty());
    EXPECT_FALSE(d.FPreviewText->isHidden());
}

TEST_F(PreviewDialogTest, ExtensionListIsCopiedOnlyWhenDifferent)
{
    TKpOpenPreviewDialog d;
    QStringList a{QStringLiteral("d1k"), QStringLiteral("dmx")};
    d.SetCustomPreviewExt(a);
    const QStringList *held = &d.CustomPreviewExtensions();
    d.SetCustomPreviewExt(a);
    EXPECT_EQ(&d.CustomPreviewExtensions(), held);
    EXPECT_EQ(d.CustomPreviewExtensions(), a);
    d.SetCustomPreviewExt({QStringLiteral("dsp")});
    EXPECT_EQ(d.CustomPreviewExtensions(), QStringList{QStringLiteral("dsp")});
    EXPECT_EQ(d.GetCaption(), "Preview");
}

TEST_F(PreviewDialogTest, ScriptedExecuteReturnsTheAnsweredPath)
{
    platform::QueueAnswers({"/shows/one.d1k", "Cancel"});
    TKpOpenPreviewDialog d;
    d.setWindowTitle(QStringLiteral("Open File Show"));
    EXPECT_EQ(d.Execute(), std::optional<std::string>("/shows/one.d1k"));
    EXPECT_EQ(d.Execute(), std::nullopt);
    EXPECT_NE(Log().find("Open File Show|(file dialog)|/shows/one.d1k"), std::string::npos);
}

TEST_F(PreviewDialogTest, ShownDialogHasThePaneRightOfTheList)
{
    TKpOpenPreviewDialog d;
    d.setDirectory(dir.path());
    d.show();
    QApplication::processEvents();
    auto *list = d.findChild<QWidget *>(QStringLiteral("splitter"));
    ASSERT_TRUE(list);
    QPoint listRight = list->mapTo(&d, QPoint(list->width(), 0));
    QPoint paneLeft = d.PreviewBox->mapTo(&d, QPoint(0, 0));
    EXPECT_GE(paneLeft.x(), listRight.x());
    EXPECT_LT(d.CaptionPanel->mapTo(&d, QPoint(0, 0)).y(), paneLeft.y());
    if (const char *grab = std::getenv("BRTV_GRAB_DIR"))
        d.grab().save(QDir(QString::fromLocal8Bit(grab)).filePath(QStringLiteral("previewdialog.png")));
    d.hide();
}

} // namespace
