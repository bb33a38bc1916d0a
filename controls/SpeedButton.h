// A flat-capable push button with a glyph, grouped by GroupIndex among siblings of the
// same parent (one of a group is down), that clicks on a release inside it.
#pragma once

#include "controls/ControlProps.h"
#include "controls/TColor.h"

#include <QAbstractButton>
#include <QImage>

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// Font settings as the component streams carry them.
enum TFontStyleBit { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
struct TFontSettings {
    int Charset = 1; // DEFAULT_CHARSET
    TColor Color = clWindowText;
    int Height = -11;
    QByteArray Name = "MS Sans Serif";
    int Style = 0;   // TFontStyleBit bits
    bool operator==(const TFontSettings &) const = default;
};
QFont toQFont(const TFontSettings &f);

class TSpeedButton : public QAbstractButton, public TControlProps {
    Q_OBJECT
    Q_PROPERTY(int GroupIndex READ GroupIndex WRITE setGroupIndex)
    Q_PROPERTY(bool Down READ Down WRITE setDown)
    Q_PROPERTY(bool AllowAllUp READ AllowAllUp WRITE setAllowAllUp)
    Q_PROPERTY(bool Flat READ Flat WRITE setFlat)
    Q_PROPERTY(int NumGlyphs READ NumGlyphs WRITE setNumGlyphs)
    Q_PROPERTY(int Layout READ Layout WRITE setLayout)
    Q_PROPERTY(int Margin READ Margin WRITE setMargin)
    Q_PROPERTY(int Spacing READ Spacing WRITE setSpacing)
    Q_PROPERTY(bool Transparent READ Transparent WRITE setTransparent)

public:
    explicit TSpeedButton(QWidget *parent = nullptr);

    int GroupIndex() const { return m_groupIndex; }
    bool Down() const { return m_down; }
    bool AllowAllUp() const { return m_allowAllUp; }
    bool Flat() const { return m_flat; }
    const QImage &Glyph() const { return m_glyph; }
    int NumGlyphs() const { return m_numGlyphs; }
    int Layout() const { return m_layout; }
    int Margin() const { return m_margin; }
    int Spacing() const { return m_spacing; }
    bool Transparent() const { return m_transparent; }
    const QByteArray &Caption() const { return m_caption; }
    const TFontSettings &Font() const { return m_font; }

    void SetGroupIndex(int v);
    void SetDown(bool v);
    void SetAllowAllUp(bool v);
    void SetFlat(bool v);
    void SetGlyph(const QImage &v);
    void SetNumGlyphs(int v);
    void SetLayout(int v);
    void SetMargin(int v);
    void SetSpacing(int v);
    void SetTransparent(bool v);
    void SetCaption(const QByteArray &v);
    // Setting the font turns ParentFont off, as a font of its own does.
    void SetFont(const TFontSettings &v);
    void SetParentFontFlag(bool v);

    void setGroupIndex(int v) { SetGroupIndex(v); }
    void setDown(bool v) { SetDown(v); }
    void setAllowAllUp(bool v) { SetAllowAllUp(v); }
    void setFlat(bool v) { SetFlat(v); }
    void setNumGlyphs(int v) { SetNumGlyphs(v); }
    void setLayout(int v) { SetLayout(v); }
    void setMargin(int v) { SetMargin(v); }
    void setSpacing(int v) { SetSpacing(v); }
    void setTransparent(bool v) { SetTransparent(v); }

    // Drawn pressed now: down, or held by the mouse.
    bool drawnDown() const { return m_down || m_pressed; }
    bool hovered() const { return m_hover; }
    // Clicks as a mouse click would (group handling included).
    void Click();

signals:
    void OnClick(QObject *sender);
    void OnMouseDown(QObject *sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void OnMouseUp(QObject *sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void enterEvent(QEnterEvent *e) override;
    void leaveEvent(QEvent *e) override;

    // Paints the glyph and caption inside r (shared with the derived buttons).
    void paintGlyphAndCaption(QPainter &p, const QRect &r, bool shifted);
    // The glyph image to show for the present state (one of NumGlyphs cells).
    QImage currentGlyph() const;
    void paintBevel(QPainter &p, const QRect &r, bool sunken);

private:
    void updateGroup();

    int m_groupIndex = 0;
    bool m_down = false;
    bool m_allowAllUp = false;
    bool m_flat = false;
    QImage m_glyph;
    int m_numGlyphs = 1;
    int m_layout = blGlyphLeft;
    int m_margin = -1;
    int m_spacing = 4;
    bool m_transparent = true;
    QByteArray m_caption;
    TFontSettings m_font;
    bool m_pressed = false;
    bool m_hover = false;
};

// 8-bit text of the files shown as text.
QString latin1Text(const QByteArray &bytes);
