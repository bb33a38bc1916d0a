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
        r.state = AccessRecordReading::State::Lost;
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

AccessRecordReading::State LoadAccessRecord()
{
    platform::Settings reg;
    std::optional<std::string> value;
    if (reg.ValueExists(MainWindowKey, AccessRecordValue))
        value = reg.ReadString(MainWindowKey, AccessRecordValue);
    const AccessRecordReading read = ReadAccessRecordValue(value, reg.FileReadWhole());
    AccessRecordDamaged = false;
    switch (read.state) {
    case AccessRecordReading::State::Lost:
        // Rewriting the file would drop the lock at the next start: it stays as it is.
        reg.HoldFile();
        [[fallthrough]];
    case AccessRecordReading::State::Damaged:
        // A damaged value stays in the file as it is: removing it is what lifts the lock.
        AccessRecordDamaged = true;
        [[fallthrough]];
    case AccessRecordReading::State::Intact:
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
    return read.state;
}

void HoldSettingsWithLostAccessRecord()
{
    platform::Settings reg;
    if (!reg.FileReadWhole() && !reg.ValueExists(MainWindowKey, AccessRecordValue))
        reg.HoldFile();
}

std::string DamagedAccessRecordText(AccessRecordReading::State state)
{
    const std::string first = "The access record is damaged: the program stays locked.\r\n";
    if (state == AccessRecordReading::State::Lost)
        return first + "The settings file\r\n" + platform::SettingsFilePath() +
               "\r\ncannot be read whole; it is left as it is and kept as settings.ini.bad.\r\n"
               "Mending or removing it lifts the lock at the next start.";
    return first + "Removing the value \"" + std::string(AccessRecordValue) + "\" from\r\n" +
           platform::SettingsFilePath() + "\r\nlifts the lock at the next start.";
}
