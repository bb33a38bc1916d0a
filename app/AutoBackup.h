// The auto-backup: every few minutes the whole show is written to "$AutoBak.d1k" in the
// program folder, unless something is running that the write could disturb.
#pragma once

#include <string>

constexpr const char *AutoBackupFileName = "$AutoBak.d1k";
constexpr int DefaultAutoBackupIntervalMs = 300000;

std::string AutoBackupPath();
// False while a play runs, a fixture is soloed, or a show is being loaded, created or
// saved (its tables may be half built).
bool AutoBackupAllowed();
// Writes the backup through a temporary file that replaces the old backup only when the
// whole show was written. Silent; ShowModified and ShowFileName stay as they are. True
// when written; false when skipped or failed.
bool RunAutoBackup();
