// Masked edits with a spin pair at their right edge: TTimeEdit (seconds:hundredths of a time
// in milliseconds) and TFloatEdit (a number with one decimal).
#pragma once

#include "controls/ControlProps.h"
#include "controls/SpeedButton.h"

#include <QLineEdit>
#include <QTimer>
#include <memory>

// A speed button that repeats its click while held: 500 ms, then every 250 ms.
class TTimerSpeedButton : public TSpeedButton {
    Q_OBJECT
public:
    explicit TTimerSpeedButton(QWidget *parent = nullptr);
    bool FocusRect = false;  // show a focus rectangle
    bool AllowTimer = true;  // repeat allowed
    int repeatInterval() const { return m_timer ? m_timer->interval() : -1; }

public slots:
    void TimerExpired();

signals:
    // A step: the press itself, then each repeat tick.
    void OnStep(QObject *sender);

protected:
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void paintEvent(QPaintEvent *e) override;

private:
    std::unique_ptr<QTimer> m_timer;
    bool m_held = false;
};

class TTimeButton : public QWidget {
    Q_OBJECT
public:
    explicit TTimeButton(QWidget *parent = nullptr);

    TTimerSpeedButton *UpButton() const { return m_up; }
    TTimerSpeedButton *DownButton() const { return m_down; }
    QWidget *FocusControl = nullptr;
    void SetUpGlyph(const QImage &g) { m_up->SetGlyph(g); }
    void SetDownGlyph(const QImage &g) { m_down->SetGlyph(g); }
    TTimerSpeedButton *focusedButton() const { return m_focused; }
    // Lays the two buttons out: the up button takes the top half plus one pixel.
    void adjustButtons();

signals:
    void OnUpClick(QObject *sender);
    void OnDownClick(QObject *sender);

protected:
    void resizeEvent(QResizeEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;

private:
    void buttonPressed(TTimerSpeedButton *b);
    void step(TTimerSpeedButton *b);

    TTimerSpeedButton *m_up;
    TTimerSpeedButton *m_down;
    TTimerSpeedButton *m_focused;
};

// What the two edits share: the spin pair, keys, focus, sizing, no paste or cut.
class TSpinMaskEdit : public QLineEdit, public TControlProps {
    Q_OBJECT
    Q_PROPERTY(bool EditorEnabled READ editorEnabled WRITE setEditorEnabled)
    Q_PROPERTY(bool AutoSelect READ autoSelect WRITE setAutoSelect)

public:
    bool EditorEnabled = true;
    bool AutoSelect = true;
    bool editorEnabled() const { return EditorEnabled; }
    void setEditorEnabled(bool v) { EditorEnabled = v; }
    bool autoSelect() const { return AutoSelect; }
    void setAutoSelect(bool v) { AutoSelect = v; }
    TTimeButton *Button() const { return m_button; }
    // The class library's edit mask ("!90:00;1;") in Qt's notation.
    static QString translateMask(const QString &mask);
    // The edit's text as shown, blanks included.
    QString shownText() const { return displayText(); }
    // The text as the value reads it: the mask's blank character (shown where a digit was
    // deleted) counts as a space, so "_3:00" reads as " 3:00".
    QString valueText() const;

    virtual void UpClick() = 0;
    virtual void DownClick() = 0;

signals:
    void OnChange(QObject *sender);

protected:
    explicit TSpinMaskEdit(QWidget *parent);
    void setMaskedText(const QString &text);
    void setEditMask(const QString &mask);

    void keyPressEvent(QKeyEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void contextMenuEvent(QContextMenuEvent *e) override;

    // Places the spin pair at the right edge and keeps the text clear of it.
    void adjustSpin();
    virtual void pageUp() = 0;
    virtual void pageDown() = 0;
    virtual void enterKey() {}
    virtual void checkOnExit() = 0;

private:
    TTimeButton *m_button;
    int m_maskLength = 0;
    bool m_leadingBlanks = false;
};

class TTimeEdit : public TSpinMaskEdit {
    Q_OBJECT
    Q_PROPERTY(long Increment READ increment WRITE setIncrement)
    Q_PROPERTY(long MaxValue READ maxValue WRITE setMaxValue)
    Q_PROPERTY(long MinValue READ minValue WRITE setMinValue)
    Q_PROPERTY(long Value READ GetValue WRITE setValue)

public:
    explicit TTimeEdit(QWidget *parent = nullptr);

    long Increment = 50;
    long MaxValue = 30000;
    long MinValue = 50;

    long GetValue() const;
    void SetValue(long ms);
    long CheckValue(long v) const;
    void setValue(long v) { SetValue(v); }
    long increment() const { return Increment; }
    void setIncrement(long v) { Increment = v; }
    long maxValue() const { return MaxValue; }
    void setMaxValue(long v) { MaxValue = v; }
    long minValue() const { return MinValue; }
    void setMinValue(long v) { MinValue = v; }

    void UpClick() override;
    void DownClick() override;

protected:
    void pageUp() override { SetValue(GetValue() + 1000); }
    void pageDown() override { SetValue(GetValue() - 1000); }
    void checkOnExit() override;
};

class TFloatEdit : public TSpinMaskEdit {
    Q_OBJECT
    Q_PROPERTY(float Increment READ increment WRITE setIncrement)
    Q_PROPERTY(float MaxValue READ maxValue WRITE setMaxValue)
    Q_PROPERTY(float MinValue READ minValue WRITE setMinValue)
    Q_PROPERTY(float Value READ GetValue WRITE setValue)

public:
    explicit TFloatEdit(QWidget *parent = nullptr);

    float Increment = 0.5f;
    float MaxValue = 999.0f;
    float MinValue = 1.0f;
    float Value = 1.0f;

    float GetValue() const;
    void SetValue(float v);
    float CheckValue(float v) const;
    void setValue(float v) { SetValue(v); }
    float increment() const { return Increment; }
    void setIncrement(float v) { Increment = v; }
    float maxValue() const { return MaxValue; }
    void setMaxValue(float v) { MaxValue = v; }
    float minValue() const { return MinValue; }
    void setMinValue(float v) { MinValue = v; }

    void UpClick() override;
    void DownClick() override;

protected:
    void pageUp() override { SetValue(GetValue() + 10); }
    void pageDown() override { SetValue(GetValue() - 10); }
    void enterKey() override { SetValue(CheckValue(GetValue())); }
    void checkOnExit() override;
};
