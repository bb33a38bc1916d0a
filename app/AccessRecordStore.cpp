#include "AccessRecordStore.h"

#include "StartupState.h"

#include "platform/Settings.h"

#include <algorithm>
#include <iterator>

void LoadAccessRecord()
{
    platform::Settings reg;
    if (!reg.KeyExists(MainWindowKey))
        return;
    const std::vector<std::uint8_t> stored = reg.ReadBinary(MainWindowKey, AccessRecordValue);
    if (stored.size() == sizeof AccessRecord) {
        std::copy(stored.begin(), stored.end(), AccessRecord);
        return;
    }
    reg.WriteBinary(MainWindowKey, AccessRecordValue,
                    std::vector<std::uint8_t>(std::begin(AccessRecord), std::end(AccessRecord)));
    reg.Flush();
}
