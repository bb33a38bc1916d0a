// The stand-alone image "Scn_auto.tm2": the first sequences of the show played through
// offline on a 50 ms clock and written as 516-byte blocks, one per flash page of the
// interface: a header, the off values, the start frame, the channel flags, four empty
// blocks, then one frame record whenever a scene starts or the output changes.
//
// The compile works on private copies of the engine's buffers and play fields: the live
// levels, the player slots and the engine's play state are left as they are.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int ImageBlockSize = 516;
constexpr int ImageLeadingBlocks = 8;
constexpr int ImageMaxSequences = 40;
// The entry fields that count records are 16 bits wide.
constexpr int ImageMaxRecords = 32767;

inline const char *const StandAloneImageName = "Scn_auto.tm2";
inline const char *const StandAloneTempName = "Scn_auto.tm$";

struct StandAloneInput {
    std::uint8_t flags = 0;       // header byte 0: the input mode, 0x80 for an audio start
    std::uint8_t delay = 10;      // header byte 1: audio delay / 50
    std::int32_t capacity = 0;    // records the flash holds
    std::string folder;           // where the image is written
};

struct StandAloneResult {
    // Compiled: the image is written; `fits` tells whether the flash can hold it.
    // Refused: nothing was written (`error` says why). Failed: the compile stopped
    // (`error` says why; the temporary file may stay, the image is not written).
    enum Status { Compiled, Refused, Failed };
    Status status = Refused;
    bool fits = false;
    std::int32_t records = 0;
    std::vector<std::string> memo;
    std::string error;
};

// Header byte 0 from the DMX input settings and the audio start choice.
std::uint8_t StandAloneFlags(bool dmxInEnabled, std::uint8_t dmxInMode, bool audioStart);

// Compiles the show's first sequences (at most 40) into `folder`/"Scn_auto.tm2". The
// caller holds the engine off for the whole compile.
StandAloneResult CompileStandAloneImage(const StandAloneInput &input);
