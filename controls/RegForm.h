// Remembers where a window was: restores its position, size and window state from the
// settings store once it is set up, and writes them back each time it may close.
#pragma once

#include <QObject>

#include <functional>
#include <string>

class QWidget;

class TRegForm : public QObject {
    Q_OBJECT
public:
    using CloseQueryHandler = std::function<void(QObject *sender, bool &canClose)>;

    // `onCloseQuery` is the window's own close question, asked before anything is saved.
    explicit TRegForm(QWidget *form, CloseQueryHandler onCloseQuery = {});

    bool RegEnabled = true;
    bool RegShowWarning = true;   // kept for the window descriptions; no effect

    const std::string &RegKey() const { return regKey_; }
    // A non-empty key that differs from the present one; a trailing backslash is dropped.
    void SetRegKey(const std::string &key);

    // Restores the window from the store (once; later calls do nothing).
    void Loaded();
    // The window's close question, then the record written when it may close.
    void CloseQuery(QObject *sender, bool &canClose);
    // Writes the record now (when enabled and the window was ever shown).
    void Save();

private:
    void DoSave();

    QWidget *form_;
    CloseQueryHandler onCloseQuery_;
    std::string regKey_;
    bool loaded_ = false;
};
