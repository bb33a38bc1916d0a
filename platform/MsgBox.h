// Message boxes, modal dialogs and file dialogs. Every question the program asks goes
// through here, so tests can answer it: while the environment variable BRTV_ANSWERS is
// set (or answers were queued with QueueAnswers), boxes and dialogs take their answers in
// order from that comma list instead of showing anything. BRTV_BOX_LOG names a file that
// gets one line "caption|text|answer" per box.
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

#include <optional>
#include <string>
#include <vector>

#include <functional>

class QDialog;
class QFileDialog;

namespace platform {

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

// Shows a box with the system's own text; "\r\n" in the text becomes a line break.
// Scripted, an OK-only box takes the next answer only when it is "OK".
Answer MessageBox(const std::string &caption, const std::string &text, Buttons buttons);
// A box with only OK.
inline void ShowMessage(const std::string &caption, const std::string &text)
{
    MessageBox(caption, text, Buttons::Ok);
}

// Runs a modal dialog and returns its result code. Scripted: the next answer, when a
// number, is the result (OK counts 1, Cancel 0); no answer left gives 0.
int RunModalDialog(QDialog &dialog);
// True while answers are scripted (then RunModalDialog never shows the dialog).
bool ScriptedMode();
// The next scripted answer, when scripted; consumes it.
std::optional<std::string> NextScriptedAnswer();

// Tests: the next modal dialog whose objectName is `objectName` runs for real under
// RunModalDialog even while answers are scripted; `action` is called once it is shown
// and drives it (clicks, drops, closing). The boxes it asks stay scripted.
void ActOnNextDialog(const std::string &objectName, std::function<void(QDialog &)> action);
// Tests: disarms what ActOnNextDialog armed for `objectName` and no dialog has run yet, so
// that an action whose dialog never came cannot act on a later one.
void DisarmDialogActions(const std::string &objectName);

// Runs a file dialog the caller has set up: the chosen path, or nothing when cancelled.
// Scripted like OpenFileDialog (the next answer is the path, `title` goes to the log).
std::optional<std::string> RunFileDialog(QFileDialog &dialog);

// Opens a document with the desktop's default program. Tests may replace the opener.
void OpenDocument(const std::string &path);
void SetDocumentOpener(std::function<void(const std::string &path)> opener);

// File dialogs: the chosen path, or nothing when cancelled. Scripted: the next answer is
// the path ("Cancel" or no answer left cancels). `filter` is "Text|*.ext|Text|*.ext".
// `filterIndex`, when given, gets the chosen filter (1-based); scripted, the first filter
// whose pattern matches the answer's file name (without regard to case), else 1.
std::optional<std::string> OpenFileDialog(const std::string &title, const std::string &filter,
                                          const std::string &folder = {}, int *filterIndex = nullptr);
std::optional<std::string> SaveFileDialog(const std::string &title, const std::string &filter,
                                          const std::string &fileName = {});
// The dialog's name filters for "Text|*.a;*.b|...": "Text (*.a *.b)", one a pair. A text
// that already ends in its pattern in parentheses ("Show(*.d1k)|*.d1k") stands as it is.
QStringList FileDialogFilters(const std::string &filter);

// Queues answers for the current process (tests); turns the scripted mode on.
void QueueAnswers(const std::vector<std::string> &answers);
// Forgets queued answers and rereads BRTV_ANSWERS on the next box.
void ResetAnswers();

// Converts 8-bit text as kept in memory and files (Windows-1252 where it defines the
// byte, Latin-1 otherwise) for display, and back.
QString FromBytes(const std::string &bytes);
std::string ToBytes(const QString &text);
// Turns "\r\n" into a line break for display.
QString DisplayText(const std::string &bytes);
// The colour and font dialogs, preset with `initial`: the chosen value, or nothing when
// cancelled. Colours are 0x00BBGGRR. Scripted: a number is the colour (decimal or 0x..),
// "Family,points[,bold][,italic]" the font, "Cancel" (or no answer left) no change.
std::optional<unsigned> ChooseColor(unsigned initial);
std::optional<QFont> ChooseFont(const QFont &initial);

} // namespace platform
