// The password scrambler and the access record: the tables drawn from the fixed
// generator, round trips, the row walk, the stored record and its bounds.
#include "live/AccessLock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

std::vector<int> Bytes(const std::string &s)
{
    std::vector<int> v;
    for (char c : s)
        v.push_back(static_cast<unsigned char>(c));
    return v;
}

// The tables as the generator draws them, written out again here.
std::vector<std::vector<int>> DrawnRows()
{
    std::uint32_t state = 4870316;
    auto next = [&state] {
        state = state * 22695477u + 1u;
        return static_cast<int>((state >> 16) & 0x7FFF);
    };
    std::vector<std::vector<int>> rows(3);
    for (auto &row : rows)
        while (row.size() < 224) {
            const int c = next() % 224 + 32;
            if (std::find(row.begin(), row.end(), c) == row.end())
                row.push_back(c);
        }
    return rows;
}

TEST(AccessLockTest, TablesAreTheFixedGeneratorsPermutationsWhateverTheCLibrarySeedSays)
{
    std::srand(1);   // the C library's generator must not matter
    BuildScrambleTable();
    const auto rows = DrawnRows();
    for (int r = 0; r < ScrambleRows; ++r) {
        std::set<int> seen;
        for (int j = 0; j < ScrambleWidth; ++j) {
            EXPECT_EQ(ScrambleForward[r][j], rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(j)]);
            seen.insert(ScrambleForward[r][j]);
            EXPECT_EQ(ScrambleInverse[r][ScrambleForward[r][j] - 32], j);
        }
        EXPECT_EQ(seen.size(), 224u);
        EXPECT_EQ(*seen.begin(), 32);
        EXPECT_EQ(*seen.rbegin(), 255);
    }
    const std::vector<int> row0(ScrambleForward[0], ScrambleForward[0] + 8);
    EXPECT_EQ(row0, (std::vector<int>{47, 124, 186, 217, 198, 219, 43, 156}));
    EXPECT_EQ(std::vector<int>(ScrambleForward[1], ScrambleForward[1] + 4), (std::vector<int>{110, 210, 190, 53}));
    EXPECT_EQ(std::vector<int>(ScrambleForward[2], ScrambleForward[2] + 4), (std::vector<int>{168, 160, 75, 80}));
}

TEST(AccessLockTest, EveryShortTextAndManyPasswordsComeBackAndTheRowMovesPerCharacter)
{
    for (int a = 32; a < 256; ++a) {
        const std::string one(1, static_cast<char>(a));
        ASSERT_EQ(UnscrambleText(ScrambleText(one)), one) << a;
        for (int b = 32; b < 256; ++b) {
            const std::string two = {static_cast<char>(a), static_cast<char>(b)};
            ASSERT_EQ(UnscrambleText(ScrambleText(two)), two) << a << ' ' << b;
        }
    }
    std::mt19937 random(27);
    std::uniform_int_distribution<int> ch(32, 255), len(3, 8);
    for (int i = 0; i < 100000; ++i) {
        std::string t(static_cast<std::size_t>(len(random)), ' ');
        for (char &c : t)
            c = static_cast<char>(ch(random));
        ASSERT_EQ(UnscrambleText(ScrambleText(t)), t) << i;
    }

    EXPECT_EQ(Bytes(ScrambleText("aaa")), (std::vector<int>{112, 95, 134}));
    EXPECT_EQ(Bytes(ScrambleText("password")), (std::vector<int>{81, 95, 219, 233, 198, 180, 144, 112}));
    // Characters 128..255 are substituted too.
    EXPECT_NE(ScrambleText("\xE9"), "\xE9");
    // A byte below 32 is copied and keeps the row: "a\tb" scrambles 'b' with row 1.
    const std::string tab = ScrambleText(std::string("a\tb"));
    EXPECT_EQ(tab[1], '\t');
    EXPECT_EQ(tab[2], ScrambleText("ab")[1]);
    EXPECT_EQ(UnscrambleText(tab), "a\tb");
}

TEST(AccessLockTest, RecordHoldsLevelScrambledPasswordAndZerosAndIsReadWithinItsBounds)
{
    const AccessRecordBytes r = MakeAccessRecord(2, "password");
    EXPECT_EQ(std::vector<int>(r.begin(), r.end()), (std::vector<int>{2, 81, 95, 219, 233, 198, 180, 144, 112, 0}));
    const AccessRecordBytes empty = MakeAccessRecord(0, "");
    EXPECT_EQ(std::vector<int>(empty.begin(), empty.end()), std::vector<int>(10, 0));
    const AccessRecordBytes longer = MakeAccessRecord(1, "abcdefghijk");
    EXPECT_EQ(longer[9], 0) << "at most 8 bytes";
    EXPECT_EQ(UnscrambleText(ScrambleText("abcdefgh")), "abcdefgh");

    std::uint8_t record[10] = {2, 81, 95, 219, 0, 5, 6, 7, 8, 9};
    EXPECT_EQ(UnscrambleText(StoredPassword(record)), "pas");
    // A hand-edited record without a terminator: nine bytes, never past the record.
    const std::uint8_t full[10] = {1, 40, 41, 42, 43, 44, 45, 46, 47, 48};
    std::uint8_t copy[10];
    std::copy(std::begin(full), std::end(full), copy);
    EXPECT_EQ(StoredPassword(copy).size(), 9u);
    std::copy(r.begin(), r.end(), record);
    EXPECT_EQ(UnscrambleText(StoredPassword(record)), "password");
}

} // namespace
