#include "HardwareSettings.h"

#include "app/StartupState.h"
#include "platform/Settings.h"

SettingsBytes MidiSettingsBytes = DefaultMidiSettings;
SettingsBytes AudioSettingsBytes = DefaultAudioSettings;
SettingsBytes DmxInSettingsBytes = DefaultDmxInSettings;
std::int32_t FlashCapacity = 0;
std::uint8_t SynchMediaPlayList = 0;
std::uint8_t MediaPlayerOption = 0;

namespace {

SettingsBytes ReadBytes(const platform::Settings &s, const char *name, const SettingsBytes &fallback)
{
    const auto v = s.ReadBinaryValue(MainWindowKey, name);
    SettingsBytes out = fallback;
    if (v && v->size() == out.size())
        std::copy(v->begin(), v->end(), out.begin());
    return out;
}

std::vector<std::uint8_t> AsVector(const SettingsBytes &b)
{
    return {b.begin(), b.end()};
}

} // namespace

HardwareSettingsRead ReadHardwareSettings()
{
    platform::Settings s;
    HardwareSettingsRead out;
    const auto minutes = s.ReadIntegerValue(MainWindowKey, "ABackTime");
    if (!minutes)
        s.WriteInteger(MainWindowKey, "ABackTime", 0);
    else if (*minutes >= 0 && *minutes <= MaxBackupMinutes)
        out.backupMinutes = *minutes;
    const auto confirm = s.ReadIntegerValue(MainWindowKey, "Confirmation");
    if (!confirm)
        s.WriteInteger(MainWindowKey, "Confirmation", 2);
    else
        out.confirmOptions = static_cast<std::uint8_t>(*confirm);
    MidiSettingsBytes = ReadBytes(s, "MIDI", DefaultMidiSettings);
    AudioSettingsBytes = ReadBytes(s, "AUDIO", DefaultAudioSettings);
    DmxInSettingsBytes = ReadBytes(s, "DMXIN", DefaultDmxInSettings);
    if (DmxInSettingsBytes[1] > 4)
        DmxInSettingsBytes[1] = 0;
    return out;
}

void WriteHardwareSettings(std::uint8_t confirmOptions)
{
    platform::Settings s;
    s.WriteBinary(MainWindowKey, "MIDI", AsVector(MidiSettingsBytes));
    s.WriteBinary(MainWindowKey, "AUDIO", AsVector(AudioSettingsBytes));
    s.WriteBinary(MainWindowKey, "DMXIN", AsVector(DmxInSettingsBytes));
    s.WriteInteger(MainWindowKey, "Confirmation", confirmOptions);
}

void WriteBackupMinutes(std::int32_t minutes)
{
    platform::Settings s;
    s.WriteInteger(MainWindowKey, "ABackTime", minutes);
}

std::int32_t FlashCapacityForId(std::uint8_t id)
{
    switch (id & 0x38) {
    case 0x20:
        return 2040;
    case 0x28:
        return 4080;
    case 0x30:
        return 8160;
    default:
        return 0;
    }
}

LanSettings ReadLanSettings()
{
    platform::Settings s;
    LanSettings out;
    const auto port = s.ReadIntegerValue(MainWindowKey, "LanPort");
    if (port && *port >= 0 && *port <= 0xFFFF)
        out.port = static_cast<std::uint16_t>(*port);
    out.peerPort = out.port;
    const auto peer = s.ReadIntegerValue(MainWindowKey, "LanPeerPort");
    if (peer && *peer >= 0 && *peer <= 0xFFFF)
        out.peerPort = static_cast<std::uint16_t>(*peer);
    out.bindAddress = s.ReadString(MainWindowKey, "LanBindAddress");
    return out;
}
