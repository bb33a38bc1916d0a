// The engine tick on its own thread during background play while this thread deletes and
// inserts scenes and sequences through the table operations: no frame may ever hold a
// level that no scene of the played sequence has. Outside the sanitizer build, freed
// memory is filled with a pattern (0xEE) so that a read of a freed scene shows on the wire.
#include "EngineTestSupport.h"

#include "app/SequenceEditing.h"
#include "app/ShowModel.h"

#include "platform/Messages.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <set>
#include <thread>

#if !defined(__SANITIZE_ADDRESS__)
void *operator new(std::size_t size)
{
    if (void *p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void *p) noexcept
{
    if (!p)
        return;
    std::memset(p, 0xEE, malloc_usable_size(p));
    std::free(p);
}
void operator delete(void *p, std::size_t) noexcept
{
    operator delete(p);
}
#endif

namespace {

constexpr int Channels = 16;
constexpr std::uint8_t Cycle = 0x01;
constexpr std::uint8_t SceneTimeStep = 1;
// The played scenes hold 20, 40 .. 160 on every channel; a sequence put in front of the
// played one holds 1, which the background play must never show.
constexpr std::uint8_t ForeignLevel = 1;

bool PlayedLevel(std::uint8_t v)
{
    return v != 0 && v % 20 == 0 && v <= 160;
}

class EngineHoldStress : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        BindFakeInterface();
        DeviceState = 0;
    }
};

TEST_F(EngineHoldStress, TickDuringSceneAndSequenceEditsNeverShowsAForeignLevel)
{
    const int seq = AddSequence(8, Cycle, SceneTimeStep, 120,
                                [](int scene, int) { return static_cast<std::uint8_t>(20 * (scene + 1)); });
    for (int s = 0; s < 8; ++s)
        Sequences[0]->scenes[s]->sceneTime = 50;   // a step on every tick
    AddPatchedFixture(0, Channels);
    StartPlay(seq, 0);
    Playing = 0;
    PlayInBackground = 1;
    OutputTick();   // the first scene is on the output before the edits begin
    ASSERT_EQ(DmxOutLevels[0], 20);

    std::atomic<bool> stop{false};
    std::atomic<bool> stopped{false};
    std::atomic<int> ticks{0};
    std::atomic<int> foreign{0};
    std::set<int> seen;
    std::thread engine([&] {
        while (!stop.load()) {
            OutputTick();
            for (int c = 0; c < Channels; ++c) {
                const std::uint8_t v = DmxOutLevels[c];
                if (!PlayedLevel(v))
                    foreign.fetch_add(1);
                seen.insert(v);
            }
            ticks.fetch_add(1);
            std::this_thread::yield();
        }
        stopped = true;
    });

    std::srand(7);
    for (int round = 0; round < 3000; ++round) {
        SequenceRecord &played = *Sequences[static_cast<std::size_t>(PlaySequence)];
        const int count = played.sceneCount;
        const int at = count > 0 ? std::rand() % count : -1;
        if (count > 2 && (count >= 12 || std::rand() % 2))
            DeleteScene(played, at);
        else
            InsertNewScene(played, at);
        if (round % 5 == 0) {
            // Another sequence comes in front of the played one and goes again.
            if (SequenceRecord *other = InsertNewSequence(0)) {
                if (SceneRecord *s = InsertNewScene(*other, -1))
                    std::memset(s->levels, ForeignLevel, sizeof s->levels);
                DeleteSequence(0);
            }
        }
        // Two more ticks, so that at least one whole tick runs between the edits.
        const int seenTicks = ticks.load();
        while (ticks.load() < seenTicks + 2) {
            platform::DeliverPostedMessages();
            std::this_thread::yield();
        }
    }
    stop = true;
    // A tick that lost its sequence sends the window a stop and waits for it.
    while (!stopped.load())
        platform::DeliverPostedMessages();
    engine.join();

    EXPECT_TRUE(EngineCodes().empty());
    EXPECT_EQ(foreign.load(), 0);
    EXPECT_GE(ticks.load(), 6000);   // two after every round
    EXPECT_GE(seen.size(), 3u);   // the play really went through several scenes
    EXPECT_EQ(PlaySequence, 0);
    EXPECT_EQ(SequenceCount, 1);
    // What reached the interface: only levels of the played scenes.
    ASSERT_FALSE(Fake.writtenFrames.empty());
    for (const auto &frame : Fake.writtenFrames)
        for (int c = 0; c < Channels && c < static_cast<int>(frame.size()); ++c)
            ASSERT_TRUE(PlayedLevel(frame[static_cast<std::size_t>(c)])) << int(frame[static_cast<std::size_t>(c)]);
}

} // namespace
