// A number edit with an up-down beside it, as the sequence dialogs use: the edit takes
// digits only, a number typed above the maximum is replaced by the maximum at once, and
// the position is the edit's number held inside min..max.
#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

class TUpDownEdit : public QWidget {
    Q_OBJECT

public:
    explicit TUpDownEdit(QWidget *parent = nullptr);

    void SetRange(int min, int max);
    void SetPosition(int position);
    int Position() const;
    int Min() const { return min_; }
    int Max() const { return max_; }
    QLineEdit *Edit() const { return edit_; }
    QToolButton *UpButton() const { return up_; }
    QToolButton *DownButton() const { return down_; }

signals:
    // The position changed, by typing or by the arrows.
    void Changed(int position);

protected:
    void resizeEvent(QResizeEvent *e) override;

private:
    void TextEdited();
    void Step(int delta);
    QLineEdit *edit_;
    QToolButton *up_;
    QToolButton *down_;
    int min_ = 1, max_ = 1;
};
