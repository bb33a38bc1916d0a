// The main window's side of the hot keys: its commands listed in menu order for the
// assignment window, their shortcuts applied (the masters' bump keys among them), and
// the key file "Brantoval.key" in the program folder written and read at start-up.
#include "MainForm.h"
#include "ui_MainForm.h"

#include "HotKeys.h"
#include "PatchLoader.h"
#include "ShowModel.h"
#include "THotKeyForm.h"
#include "ToolWindows.h"

#include "platform/Files.h"
#include "platform/MsgBox.h"
#include "platform/VirtualKeys.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QShortcutEvent>

#include <map>
#include <set>

namespace {

// An action's "Tag" (0 when it has none).
int TagOf(const QAction *a)
{
    return a->property("Tag").toInt();
}

// The 16-bit shortcut an action holds: the one given it here, else its key sequence's.
std::uint16_t ShortcutOf(const QAction *a)
{
    const QVariant kept = a->property("HotKey");
    if (kept.isValid())
        return static_cast<std::uint16_t>(kept.toUInt());
    const QKeySequence keys = a->shortcut();
    if (keys.isEmpty())
        return 0;
    return platform::ShortcutFromKeyEvent(keys[0].key(), keys[0].keyboardModifiers());
}

void SetShortcut(QAction *a, std::uint16_t shortcut)
{
    a->setProperty("HotKey", shortcut);
    a->setShortcut(platform::KeySequenceFromShortcut(shortcut));
}

// A bump item ("PMst" + number, tag 0..16) gives its master the key's code.
void SetMasterKey(const QAction *a, std::uint16_t shortcut)
{
    const int tag = TagOf(a);
    if (a->objectName().startsWith(QLatin1String("PMst")) && tag >= 0 && tag < PhysicalMasterCount)
        PhysicalMasters[static_cast<std::size_t>(tag)].hotKey = static_cast<std::uint8_t>(shortcut & 0xFF);
}

// Depth first through a menu's items: each action once, separators and unnamed ones
// left out, and those whose tag is below -2.
void ListMenu(const QList<QAction *> &actions, int depth, std::vector<HotKeyItem> &items, std::set<QAction *> &seen)
{
    for (QAction *a : actions) {
        if (a->isSeparator() || HotKeyCommandName(a).isEmpty() || TagOf(a) < -2 || !seen.insert(a).second)
            continue;
        const bool parent = a->menu() != nullptr;
        items.push_back(HotKeyItem{a, depth, parent, parent ? std::uint16_t(0) : ShortcutOf(a)});
        if (parent)
            ListMenu(a->menu()->actions(), depth + 1, items, seen);
    }
}

bool Shown(const QAction *a)
{
    for (QObject *o : a->associatedObjects())
        if (auto *w = qobject_cast<QWidget *>(o); w && w->isVisible())
            return true;
    return false;
}

// Runs the shortcut that `window` has of its own for `key`; false when it has none.
bool RunOwnShortcut(QWidget *window, const QKeySequence &key)
{
    for (QAction *a : window->findChildren<QAction *>())
        if (a->shortcutContext() != Qt::ApplicationShortcut && a->isEnabled() && Shown(a) &&
            a->shortcuts().contains(key)) {
            a->trigger();
            return true;
        }
    for (QShortcut *s : window->findChildren<QShortcut *>())
        if (auto *owner = qobject_cast<QWidget *>(s->parent());
            s->isEnabled() && owner && owner->isVisible() && s->keys().contains(key)) {
            emit s->activated();
            return true;
        }
    return false;
}

} // namespace

std::vector<HotKeyItem> TMainForm::HotKeyItems()
{
    std::vector<HotKeyItem> items;
    std::set<QAction *> seen;
    ListMenu(ui->MainMenu->actions(), 0, items, seen);
    // The window's own actions that sit in no menu.
    QList<QAction *> loose;
    for (QAction *a : actions())
        if (!seen.count(a) && !a->menu())
            loose.push_back(a);
    ListMenu(loose, 0, items, seen);
    return items;
}

void TMainForm::ApplyHotKeys(const std::vector<HotKeyItem> &items)
{
    for (const HotKeyItem &item : items) {
        if (!item.action || item.parent)
            continue;
        SetShortcut(item.action, item.shortcut);
        SetMasterKey(item.action, item.shortcut);
    }
}

bool TMainForm::SaveHotKeys()
{
    std::vector<HotKeyRecord> records;
    for (const HotKeyItem &item : HotKeyItems())
        records.push_back(HotKeyRecord{item.parent ? std::uint16_t(0) : ShortcutOf(item.action),
                                       platform::ToBytes(HotKeyCommandName(item.action)),
                                       platform::ToBytes(item.action->text())});
    const std::string folder = platform::ProgramFolder();
    const std::string path = folder + platform::FindFileNoCase(folder, HotKeyFileName).value_or(HotKeyFileName);
    if (WriteStreamFile(path, [&records](BinaryStream &s) { WriteHotKeyFile(s, records); }))
        return true;
    platform::ShowMessage("Brantoval-1024", "Error writing file");
    return false;
}

void TMainForm::LoadHotKeys()
{
    const std::string folder = platform::ProgramFolder();
    const auto found = platform::FindFileNoCase(folder, HotKeyFileName);
    if (!found)
        return;
    HotKeyFile file;
    try {
        FileStream s(folder + *found, FileStream::ReadOnly);
        file = ReadHotKeyFile(s);
    } catch (const StreamError &) {
        return;
    }
    std::map<std::string, QAction *> byName;
    for (const HotKeyItem &item : HotKeyItems())
        if (item.action)
            byName[platform::ToBytes(HotKeyCommandName(item.action))] = item.action;
    for (const HotKeyRecord &r : file.records) {
        const auto it = byName.find(r.name);
        if (it == byName.end())
            continue;   // no such command (any more)
        QAction *a = it->second;
        if (!a->menu())
            SetShortcut(a, r.shortcut);
        if (!file.withHeader)
            continue;   // the older files hold shortcuts only
        a->setText(r.caption.empty() ? HotKeyCommandName(a) : platform::FromBytes(r.caption));
        if (!a->menu())
            SetMasterKey(a, r.shortcut);
    }
    // The recent-show items name the shows stored now, not those of the file's day.
    ShowRecentFiles();
}

void TMainForm::ShareShortcuts()
{
    // Application-wide, Qt still leaves the key to a modal window that blocks this one and
    // to a focused control that takes the key itself (typing in a text field).
    for (const HotKeyItem &item : HotKeyItems())
        if (item.action && !item.parent)
            item.action->setShortcutContext(Qt::ApplicationShortcut);
}

bool TMainForm::SharedShortcutEvent(QObject *receiver, QEvent *event)
{
    if (event->type() != QEvent::Shortcut)
        return false;
    auto *action = qobject_cast<QAction *>(receiver);
    bool ours = false;
    for (QObject *o = action; o && !ours; o = o->parent())
        ours = o == this;
    // A modal window keeps every key, also while one of its popups is open (Qt lets
    // application-wide shortcuts through an open popup).
    if (ours && QApplication::activeModalWidget())
        return true;
    // A key that both a command here and the active window's own shortcut hold belongs to
    // that window (Qt would run neither of them).
    const auto *shortcut = static_cast<QShortcutEvent *>(event);
    QWidget *active = QApplication::activeWindow();
    if (!shortcut->isAmbiguous() || !active || active == this)
        return false;
    bool shared = false;
    for (const HotKeyItem &item : HotKeyItems())
        shared = shared || (item.action && item.action->shortcuts().contains(shortcut->key()));
    return shared && RunOwnShortcut(active, shortcut->key());
}

void TMainForm::RunHotKeyForm()
{
    THotKeyForm form(HotKeyItems(),
                     [this](const std::vector<HotKeyItem> &items) {
                         ApplyHotKeys(items);
                         SaveHotKeys();
                     },
                     this);
    platform::RunModalDialog(form);
}
