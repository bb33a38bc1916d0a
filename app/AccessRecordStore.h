// The access record (10 bytes, the first the access level 0..3) kept in the settings
// store as the binary value "PWD" under "Software\Brantoval\MainWindow".
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

constexpr const char *AccessRecordValue = "PWD";

// What a stored "PWD" value gives. A value that is there but cannot be read is damaged:
// the lock never opens on bad input, so it keeps the program locked at level 3 when its
// first byte reads as 3, else at level 2; its password is unknown and none matches it.
struct AccessRecordReading {
    enum class State { Missing, Intact, Damaged };
    State state = State::Missing;
    // Intact: the stored bytes. Damaged: the level the lock keeps, zeros after it.
    std::array<std::uint8_t, 10> record{};
};

// Reads the value's text as the settings store gives it (nothing when there is no value).
// `fileReadWhole` false: the settings file could not be read whole, so a missing value
// may have been lost with it and counts as damaged.
AccessRecordReading ReadAccessRecordValue(const std::optional<std::string> &value, bool fileReadWhole);

// Set by LoadAccessRecord while the stored record is damaged: no typed password lifts
// the lock then.
extern bool AccessRecordDamaged;

// Reads the stored record into AccessRecord. A missing value gets the current record
// stored in its place (when the key exists; the key is not created here); a damaged one
// is left as it is and sets AccessRecord to the level it keeps. Returns true when the
// record is damaged.
bool LoadAccessRecord();

// What start-up says once about a damaged record.
std::string DamagedAccessRecordText();
