// The LAN link of the "Hardware" page: the server slot that "from LAN" opens, and the
// messages of peer programs handled on the GUI thread.
#include "TAudSynch.h"

#include "HardwareSettings.h"
#include "LanLink.h"

#include "platform/Mailslot.h"

bool TAudSynch::OpenSlot()
{
    platform::TzolMailslot &slot = *BrantovalMain;
    if (slot.ServerOpen())
        return true;
    const LanSettings lan = ReadLanSettings();
    slot.SlotName = LanSlotName;
    slot.Port = lan.port;
    slot.PeerPort = lan.peerPort;
    slot.BindAddress = lan.bindAddress;
    slot.OnMessage = [this](platform::TzolMailslot &sender, const std::uint8_t *message, const std::string &user,
                            const std::string &computer, int length) {
        BrantovalMainMessage(sender, message, user, computer, length);
    };
    const QString error = QStringLiteral("Error CreateMailSlot");
    if (!slot.CreateMailslot()) {
        if (windowTitle() != error)
            setProperty("titleBeforeError", windowTitle());
        setWindowTitle(error);
        return false;
    }
    // A later try that works takes the error off the caption.
    if (windowTitle() == error && property("titleBeforeError").isValid())
        setWindowTitle(property("titleBeforeError").toString());
    return true;
}

void TAudSynch::CloseSlot()
{
    if (!BrantovalMain)
        return;
    BrantovalMain->CloseClientMailslot();
    BrantovalMain->CloseMailslot();
}

void TAudSynch::BrantovalMainMessage(platform::TzolMailslot &sender, const std::uint8_t *message,
                                     const std::string & /*user*/, const std::string & /*computer*/, int length)
{
    LanLinkMessage(message, length, MailslotLinkActions(sender, [this](const std::string &caption) {
                       setWindowTitle(QString::fromStdString(caption));
                   }));
}
