#include "AccessRecordStore.h"

#include "StartupState.h"

#include "platform/Settings.h"
#include "platform/SettingsText.h"

#include <algorithm>
#include <iterator>

bool AccessRecordDamaged = false;

AccessRecordReading ReadAccessRecordValue(const std::optional<std::string> &value, bool fileReadWhole)
{
    AccessRecordReading r;
    if (!value && fileReadWhole)
        return r;
    if (!value) {
        r.state = AccessRecordReading::State::Damaged;
        r.record[0] = 2;
        return r;
    }
    if (const auto bytes = platform::DecodeBinaryValue(*value); bytes && bytes->size() == r.record.size()) {
        r.state = AccessRecordReading::State::Intact;
        std::copy(bytes->begin(), bytes->end(), r.record.begin());
        return r;
    }
    // Only a first byte written as two hex digits names a level; "Play (H)" is kept,
    // anything else locks at "Edit (M)", never lower.
    r.state = AccessRecordReading::State::Damaged;
    r.record[0] = 2;
    if (const auto first = platform::DecodeBinaryValue(value->substr(0, 6)); first && first->size() == 1 && (*first)[0] == 3)
        r.record[0] = 3;
    return r;
}

bool LoadAccessRecord()
{
    platform::Settings reg;
    std::optional<std::string> value;
    if (reg.ValueExists(MainWindowKey, AccessRecordValue))
        value = reg.ReadString(MainWindowKey, AccessRecordValue);
    const AccessRecordReading read = ReadAccessRecordValue(value, reg.FileReadWhole());
    AccessRecordDamaged = read.state == AccessRecordReading::State::Damaged;
    switch (read.state) {
    case AccessRecordReading::State::Intact:
    case AccessRecordReading::State::Damaged:
        // A damaged value stays in the file as it is: removing it is what lifts the lock.
        std::copy(read.record.begin(), read.record.end(), std::begin(AccessRecord));
        break;
    case AccessRecordReading::State::Missing:
        if (!reg.KeyExists(MainWindowKey))
            break;
        reg.WriteBinary(MainWindowKey, AccessRecordValue,
                        std::vector<std::uint8_t>(std::begin(AccessRecord), std::end(AccessRecord)));
        reg.Flush();
        break;
    }
    return AccessRecordDamaged;
}

std::string DamagedAccessRecordText()
{
    return "The access record is damaged: the program stays locked.\r\nRemoving the value \"" +
           std::string(AccessRecordValue) + "\" from\r\n" + platform::SettingsFilePath() +
           "\r\nlifts the lock at the next start.";
}
