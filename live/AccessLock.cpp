#include "AccessLock.h"

#include <algorithm>
#include <mutex>

std::uint8_t ScrambleForward[ScrambleRows][ScrambleWidth];
std::uint8_t ScrambleInverse[ScrambleRows][ScrambleWidth];

namespace {

std::once_flag tablesBuilt;

void FillTables()
{
    ScrambleGenerator random(ScrambleSeed);
    for (int row = 0; row < ScrambleRows; ++row) {
        bool taken[ScrambleWidth] = {};
        for (int j = 0; j < ScrambleWidth; ++j) {
            int c = 0;
            do
                c = random.Next() % ScrambleWidth;
            while (taken[c]);
            taken[c] = true;
            ScrambleForward[row][j] = static_cast<std::uint8_t>(c + 32);
            ScrambleInverse[row][c] = static_cast<std::uint8_t>(j);
        }
    }
}

// Walks the text through the rows; `forward` chooses the direction.
std::string Substitute(const std::string &text, bool forward)
{
    BuildScrambleTable();
    std::string out(text.size(), '\0');
    int row = 0;
    for (std::size_t k = 0; k < text.size(); ++k) {
        const auto ch = static_cast<unsigned char>(text[k]);
        if (ch < 32) {
            out[k] = static_cast<char>(ch);
            continue;
        }
        const int mapped = forward ? ScrambleForward[row][ch - 32] : ScrambleInverse[row][ch - 32] + 32;
        out[k] = static_cast<char>(static_cast<unsigned char>(mapped));
        row = (row + 1) % ScrambleRows;
    }
    return out;
}

} // namespace

void BuildScrambleTable()
{
    std::call_once(tablesBuilt, FillTables);
}

std::string ScrambleText(const std::string &text)
{
    return Substitute(text, true);
}

std::string UnscrambleText(const std::string &text)
{
    return Substitute(text, false);
}

std::string StoredPassword(const std::uint8_t (&record)[10])
{
    std::string out;
    for (int i = 1; i < 10 && record[i] != 0; ++i)
        out += static_cast<char>(record[i]);
    return out;
}

AccessRecordBytes MakeAccessRecord(int level, const std::string &password)
{
    AccessRecordBytes record{};
    record[0] = static_cast<std::uint8_t>(level);
    const std::string scrambled = ScrambleText(password.substr(0, MaxPasswordBytes));
    std::copy(scrambled.begin(), scrambled.end(), record.begin() + 1);
    return record;
}
