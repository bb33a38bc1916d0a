#include "AutoBackup.h"

#include "FixtureArea.h"
#include "PlayState.h"
#include "ShowFile.h"

#include "platform/Files.h"

std::string AutoBackupPath()
{
    return platform::ProgramFolder() + AutoBackupFileName;
}

bool AutoBackupAllowed()
{
    return !Playing.load() && !SoloOn && !ShowFileBusy.load();
}

bool RunAutoBackup()
{
    if (!AutoBackupAllowed())
        return false;
    return WriteShowFile(AutoBackupPath());
}
