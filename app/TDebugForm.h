// The debug window: one read-only memo that lists the cues, refilled each time it shows.
#pragma once

#include <QWidget>

namespace Ui {
class TDebugForm;
}

class TDebugForm : public QWidget {
    Q_OBJECT

public:
    explicit TDebugForm(QWidget *parent = nullptr);
    ~TDebugForm() override;

    Ui::TDebugForm *ui;

protected:
    void showEvent(QShowEvent *e) override;
};

extern TDebugForm *DebugForm;
