// The small value hint that faders and trackers show beside the pointer.
#pragma once

#include <QLabel>

class THintWindow : public QLabel {
    Q_OBJECT
public:
    explicit THintWindow(QWidget *owner);

    // Shows value text with its top left 16 pixels below the pointer (screen coordinates).
    void ShowAt(const QString &text, const QPoint &pointer);
};
