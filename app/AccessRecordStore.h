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
// first byte reads as 3, else at level 2; its password is unknown and none matches it. A
// value missing from a settings file that could not be read whole is lost: it may have
// been there, so it locks as a damaged one does, at level 2.
struct AccessRecordReading {
    enum class State { Missing, Intact, Damaged, Lost };
    State state = State::Missing;
    // Intact: the stored bytes. Damaged: the level the lock keeps, zeros after it.
    std::array<std::uint8_t, 10> record{};
};

// Reads the value's text as the settings store gives it (nothing when there is no value).
// `fileReadWhole` false: the settings file could not be read whole.
AccessRecordReading ReadAccessRecordValue(const std::optional<std::string> &value, bool fileReadWhole);

// Set by LoadAccessRecord while the stored record is damaged or lost: no typed password
// lifts the lock then.
extern bool AccessRecordDamaged;

// Reads the stored record into AccessRecord. A missing value gets the current record
// stored in its place (when the key exists; the key is not created here). A damaged one
// is left as it is and sets AccessRecord to the level it keeps; a lost one does the same
// and holds the settings file as it is for the run, so that no later start finds a whole
// file without the record and opens. Returns what was read.
AccessRecordReading::State LoadAccessRecord();

// Start-up, before anything is written to the settings: holds a settings file that could
// not be read whole and has no record (LoadAccessRecord will find it lost).
void HoldSettingsWithLostAccessRecord();

// What start-up says once about a damaged or lost record.
std::string DamagedAccessRecordText(AccessRecordReading::State state);
