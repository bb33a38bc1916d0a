// Small buttons: TCBTC (a coloured disc), TCBT (coloured face and caption), TBlinkButton
// (push-on/push-off, blinking while down), TMultiButton (round, with 32 channel entries)
// and TColobut (a colour swatch).
#pragma once

#include "controls/ControlProps.h"
#include "controls/SpeedButton.h"
#include "controls/TColor.h"

#include <QTimer>
#include <QWidget>
#include <array>
#include <memory>

// The bevelled square both painted button kinds share.
class TPaintedButton : public QWidget, public TControlProps {
    Q_OBJECT
    Q_PROPERTY(unsigned int Color READ Color WRITE setColor)
    Q_PROPERTY(bool Down READ Down WRITE setDown)

public:
    TColor Color() const { return m_color; }
    bool Down() const { return m_down; }
    virtual void SetColor(TColor v);
    virtual void SetDown(bool v);
    void setColor(unsigned int v) { SetColor(v); }
    void setDown(bool v) { SetDown(v); }

signals:
    void OnClick(QObject *sender);
    void OnMouseDown(QObject *sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void OnMouseMove(QObject *sender, Qt::KeyboardModifiers shift, int x, int y);
    void OnMouseUp(QObject *sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

protected:
    TPaintedButton(TColor color, QWidget *parent);
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    virtual void press(Qt::MouseButton button) = 0;
    virtual void release(Qt::MouseButton button) = 0;
    // One-pixel bevel, raised or sunken, with an inner shadow line when raised.
    void paintBevel(QPainter &p, bool sunken) const;
    void paintCaption(QPainter &p, const QByteArray &caption, bool shifted) const;

    TColor m_color;
    bool m_down = false;
};

class TCBTC : public TPaintedButton {
    Q_OBJECT
public:
    explicit TCBTC(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *) override;
    void press(Qt::MouseButton button) override;
    void release(Qt::MouseButton button) override;
};

class TCBT : public TPaintedButton {
    Q_OBJECT
public:
    explicit TCBT(QWidget *parent = nullptr);
    const QByteArray &Caption() const { return m_caption; }
    void SetCaption(const QByteArray &v) { m_caption = v; update(); }

protected:
    void paintEvent(QPaintEvent *) override;
    void press(Qt::MouseButton button) override;
    void release(Qt::MouseButton button) override;

    QByteArray m_caption;
};

class TBlinkButton : public TCBT {
    Q_OBJECT
public:
    explicit TBlinkButton(QWidget *parent = nullptr);
    ~TBlinkButton() override;

    TColor AlterColor = clBtnHighlight;

    void SetColor(TColor v) override;
    void SetDown(bool v) override;
    TColor FaceColor() const { return m_face; }
    bool blinking() const { return m_timer != nullptr; }
    int blinkInterval() const { return m_timer ? m_timer->interval() : -1; }

public slots:
    void OnTimer();

protected:
    void paintEvent(QPaintEvent *) override;
    void press(Qt::MouseButton button) override;
    void release(Qt::MouseButton button) override;

private:
    TColor m_face = clBtnFace;
    std::unique_ptr<QTimer> m_timer;
};

class TMultiButton : public TSpeedButton {
    Q_OBJECT
    Q_PROPERTY(unsigned int Color READ Color WRITE setColor)
public:
    explicit TMultiButton(QWidget *parent = nullptr);

    TColor Color() const { return m_color; }
    void SetColor(TColor v);
    void setColor(unsigned int v) { SetColor(v); }
    // Entry index 0..31; -1 for any other index.
    int GetChannels(int index) const;
    void SetChannels(int index, short value);

protected:
    void paintEvent(QPaintEvent *) override;

private:
    TColor m_color = clBtnFace;
    std::array<short, 32> m_channels;
};

class TColobut : public TSpeedButton {
    Q_OBJECT
    Q_PROPERTY(unsigned int Color READ Color WRITE setColor)
public:
    explicit TColobut(QWidget *parent = nullptr);

    TColor Color() const { return m_color; }
    void SetColor(TColor v);
    void setColor(unsigned int v) { SetColor(v); }

protected:
    void paintEvent(QPaintEvent *) override;

private:
    TColor m_color = clBtnFace;
};
