// The show file (*.d1k, older *.dmx): the patch, then tagged chunks. Writer, reader and
// the New / Open / Save / Save As logic that the main window's commands call.
#pragma once

#include "BinaryStream.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

// Cross-fade settings of the transport, stored in the "FADE" chunk: times in ms and the
// disable buttons' states (true = down). The transport's own controls hold them; the
// show file only carries them.
struct CrossFadeSettings {
    std::int32_t favouriteTime = 3000;
    bool favouriteDisabled = false;
    std::int32_t sequenceTime = 1000;
    bool sequenceDisabled = false;
};

extern std::string Scene3DName;          // the visualiser's scene file ("CR3D")
extern std::string PlanPath;             // the stage-plan bitmap ("PLAN")
extern std::uint8_t PositionMemoryPresent;
// Set while a show is being loaded, created or saved: the auto-backup must not write
// meanwhile.
extern std::atomic<std::uint8_t> ShowFileBusy;

constexpr const char *ShowOpenTitle = "Open File Show";
constexpr const char *ShowOpenFilter = "Brantoval-1024(*.d1k)|*.d1k|Halvenor files|*.dmx";
constexpr const char *ShowSaveTitle = "Save File Show As...";
constexpr const char *ShowSaveFilter = "Brantoval-1024(*.d1k)|*.d1k";
constexpr const char *NewShowFileName = "Show1.d1k";

// What the show file needs from windows and other parts of the program. Empty hooks do
// nothing, except createFirstSequence and memoryAllocationError, which have defaults.
struct ShowFileHooks {
    std::function<void(std::uint32_t colour)> favouriteButtonColour;  // 0x00BBGGRR
    // The transport's cross-fade settings as its controls show them, for the writer.
    // Empty: the start values.
    std::function<CrossFadeSettings()> crossFadeSettings;
    // A show with a "FADE" chunk was read: the transport's controls take the settings and
    // the disable buttons' click handlers run (favourite first, then sequence).
    std::function<void(const CrossFadeSettings &)> crossFadeSettingsRead;
    // The "PLAN" chunk names an existing bitmap: load it into the plan, size the view,
    // switch the fixture area to "Monitor" and then "Plan".
    std::function<void(const std::string &path)> loadPlanBitmap;
    std::function<void()> deleteAll3DObjects;
    std::function<void(const std::string &path)> addRecentFile;
    std::function<void()> rebuildMasterChannelLists;
    // New show: the patch window, shown modally.
    std::function<void()> showPatchWindow;
    // New show: the first sequence. Default: "SEQUENCE 1" with one zero scene "SCENE 1".
    std::function<void()> createFirstSequence;
    // A record could not be allocated while reading: "Memory allocation error", the
    // interface is closed and the program ends. Default: the message, then exit.
    std::function<void()> memoryAllocationError;
};
ShowFileHooks &ShowFileEvents();

// Writes the whole show at the stream's position; false on any write or seek error.
bool WriteShow(BinaryStream &stream);

// Reads a show from the stream into the show tables. On failure the messages are shown
// ("Error reading SHOW file" last) and the show that was loaded before is back as it was.
// Fixture windows are released before and built again after, either way.
bool LoadShowFromStream(BinaryStream &stream);

// Open: reads `path` (made absolute). "Can't open SHOW file" (caption = the file name)
// when it cannot be opened. Success: ShowFileName = the absolute path, ShowFileState 2,
// ShowModified 0, the recent-file hook called.
bool ReadShowFile(const std::string &path);

// New: frees the show, names it "SHOW 1" / "Show1.d1k", runs the patch window hook and
// creates the first sequence.
void NewShow();

// Writes the show to `path` through the atomic writer, without any message; false on
// failure (the old file stays untouched).
bool WriteShowFile(const std::string &path);
// Writes the show to `path` through the atomic writer; "Error writing SHOW file" and
// false on failure (the old file stays untouched).
bool SaveShowTo(const std::string &path);
// Save: a new show goes to SaveShowAs; else ShowFileName is cut at the last point of its
// file name, ".d1k" appended, and written. Success clears ShowModified.
bool SaveShow();
// Save As: the save dialog (starting with ShowFileName), "File exists, replace?" about
// the name that will be written (the chosen file name cut at its first point + ".d1k"),
// then Save. Success adds the recent-file entry and clears ShowModified.
bool SaveShowAs();
// Before new, open and exit: with access level below 2 and a modified show asks "The
// Show was modified. Save file ?"; Yes saves (Save As for a new show). False when the
// operator cancels or the save did not happen.
bool SaveModifiedShowOnRequest(int accessLevel);

// File-name helpers (folders are left alone): cut at the first / last point of the
// file-name part and append ".d1k".
std::string ShowNameCutAtFirstPoint(const std::string &path);
std::string ShowNameCutAtLastPoint(const std::string &path);
