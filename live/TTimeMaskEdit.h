// A masked time entry ("90:00:0" and the like) for the play list's cells, its time-shift
// dialog and the music player: Enter and leaving the entry report the text.
#pragma once

#include "controls/SpinEdits.h"

#include <functional>

class TTimeMaskEdit : public TSpinMaskEdit {
    Q_OBJECT

public:
    TTimeMaskEdit(QWidget *parent, const QString &mask);
    // Shows `text`; a blank stands for a digit not given (Qt's masks drop plain spaces).
    void SetTimeText(const QString &text);

    std::function<void()> OnEnter;
    std::function<void()> OnExit;
    std::function<void()> OnEscape;

protected:
    void UpClick() override {}
    void DownClick() override {}
    void pageUp() override {}
    void pageDown() override {}
    void enterKey() override;
    void checkOnExit() override;
    void keyPressEvent(QKeyEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
};
