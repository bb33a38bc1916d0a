// The media layer over the real backend: files it writes itself load with their length
// and picture, a missing file gives the backend's error, a sound plays to its end, and a
// good file opens after a refused one.
#include "MediaFiles.h"

#include "platform/MediaPlayer.h"

#include "common/TestFiles.h"

#include <gtest/gtest.h>

namespace {

class MediaPlayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = testfiles::FreshFolder("brtv-media");
        wav = (root / "two.wav").string();
        avi = (root / "ten.avi").string();
        mediafiles::WriteWav(wav);
        mediafiles::WriteAvi(avi);
    }
    void TearDown() override { std::filesystem::remove_all(root); }
    std::filesystem::path root;
    std::string wav, avi;
};

TEST_F(MediaPlayerTest, WrittenFilesLoadWithLengthAndPicture)
{
    auto sound = platform::CreateMediaPlayer(false);
    int changes = 0;
    sound->SetOnChange([&changes] { ++changes; });
    if (!platform::OpenAndWait(*sound, wav))
        GTEST_SKIP() << "no media backend: " << platform::MediaErrorText(*sound);
    EXPECT_GT(changes, 0);
    EXPECT_EQ(sound->DurationMs(), 2000);
    EXPECT_FALSE(sound->HasVideo());
    EXPECT_EQ(sound->Source(), wav);
    sound->SetPositionMs(1500);
    sound->Play();
    EXPECT_TRUE(platform::WaitProcessing([&] { return sound->Status() == platform::MediaStatus::EndOfMedia; }, 5000));
    sound->Close();
    EXPECT_EQ(sound->Status(), platform::MediaStatus::NoMedia);

    auto video = platform::CreateMediaPlayer(true);
    ASSERT_NE(video->VideoWidget(), nullptr);
    ASSERT_TRUE(platform::OpenAndWait(*video, avi)) << platform::MediaErrorText(*video);
    EXPECT_EQ(video->DurationMs(), 1000);
    EXPECT_TRUE(video->HasVideo());

    auto missing = platform::CreateMediaPlayer(false);
    EXPECT_FALSE(platform::OpenAndWait(*missing, (root / "gone.wav").string()));
    EXPECT_EQ(platform::MediaErrorText(*missing), "Error 1: Resource not found.");
    // Bytes that are no media at all are refused with a text of their own.
    const std::string junk = (root / "junk.wav").string();
    mediafiles::Bytes b;
    b.Tag("JUNK");
    b.Save(junk);
    EXPECT_FALSE(platform::OpenAndWait(*missing, junk));
    EXPECT_NE(missing->ErrorNumber(), 0);
    EXPECT_FALSE(missing->ErrorText().empty());
    // Those failures do not spoil the player: the next good file opens with its length.
    EXPECT_TRUE(platform::OpenAndWait(*missing, wav)) << platform::MediaErrorText(*missing);
    EXPECT_EQ(missing->DurationMs(), 2000);
    EXPECT_EQ(missing->ErrorNumber(), 0);
}

} // namespace
