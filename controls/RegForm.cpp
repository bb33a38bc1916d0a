#include "RegForm.h"

#include "platform/Settings.h"

#include <QWidget>
#include <QWindow>

TRegForm::TRegForm(QWidget *form, CloseQueryHandler onCloseQuery)
    : QObject(form), form_(form), onCloseQuery_(std::move(onCloseQuery))
{
    setObjectName(QStringLiteral("RegForm1"));
    regKey_ = "\\Software\\Brantoval\\Positions\\" + (form ? form->objectName().toStdString() : std::string());
}

void TRegForm::SetRegKey(const std::string &key)
{
    if (key.empty() || key == regKey_)
        return;
    std::string k = key;
    if (k.back() == '\\')
        k.pop_back();
    regKey_ = k;
}

void TRegForm::Loaded()
{
    if (loaded_ || !form_)
        return;
    loaded_ = true;
    if (!RegEnabled)
        return;
    try {
        platform::Settings store;
        if (!store.KeyExists(regKey_))
            return;
        auto state = store.ReadBinaryValue(regKey_, "WindowState");
        if (!state || state->empty())
            return;
        int s = (*state)[0];
        form_->setWindowState(s == 2 ? Qt::WindowMaximized : s == 1 ? Qt::WindowMinimized : Qt::WindowNoState);
        if (s == 2)
            return;
        // Each value is applied as soon as it is read; the first bad one ends the restore.
        auto left = store.ReadIntegerValue(regKey_, "Left");
        if (!left)
            return;
        form_->move(*left, form_->y());
        auto top = store.ReadIntegerValue(regKey_, "Top");
        if (!top)
            return;
        form_->move(form_->x(), *top);
        auto width = store.ReadIntegerValue(regKey_, "Width");
        if (!width)
            return;
        form_->resize(*width, form_->height());
        auto height = store.ReadIntegerValue(regKey_, "Height");
        if (!height)
            return;
        form_->resize(form_->width(), *height);
    } catch (...) {
        // A broken record leaves the window where its description put it.
    }
}

void TRegForm::CloseQuery(QObject *sender, bool &canClose)
{
    if (onCloseQuery_)
        onCloseQuery_(sender, canClose);
    if (canClose && RegEnabled && form_ && form_->windowHandle())
        Save();
}

void TRegForm::Save()
{
    if (!RegEnabled || !form_ || !form_->windowHandle())
        return;
    try {
        DoSave();
    } catch (...) {
        // Remembering the place never stops a window from closing.
    }
}

void TRegForm::DoSave()
{
    platform::Settings store;
    store.CreateKey(regKey_);
    store.WriteInteger(regKey_, "Left", form_->x());
    store.WriteInteger(regKey_, "Top", form_->y());
    store.WriteInteger(regKey_, "Width", form_->width());
    store.WriteInteger(regKey_, "Height", form_->height());
    std::uint8_t state = form_->isMaximized() ? 2 : form_->isMinimized() ? 1 : 0;
    store.WriteBinary(regKey_, "WindowState", {state});
    store.Flush();
}
