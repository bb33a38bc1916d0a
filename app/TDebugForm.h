// The debug window: one memo that lists the cues.
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
};

extern TDebugForm *DebugForm;
