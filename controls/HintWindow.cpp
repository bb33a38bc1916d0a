#include "controls/HintWindow.h"

#include "controls/TColor.h"

#include <QFontMetrics>

THintWindow::THintWindow(QWidget *owner)
    : QLabel(owner, Qt::ToolTip | Qt::FramelessWindowHint)
{
    QFont f;
    f.setFamilies({QStringLiteral("SmallFonts"), QStringLiteral("Small Fonts"), QStringLiteral("DejaVu Sans")});
    f.setPointSize(7);
    setFont(f);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, toQColor(clInfoBk));
    pal.setColor(QPalette::WindowText, toQColor(clInfoText));
    setPalette(pal);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setMargin(1);
}

void THintWindow::ShowAt(const QString &text, const QPoint &pointer)
{
    setText(text);
    // Measured as the hint window does: the text within 100 pixels, plus the frame and margins.
    const QRect r = QFontMetrics(font()).boundingRect(QRect(0, 0, 100, 0), Qt::TextWordWrap, text);
    const int w = r.width() + 6;
    const int h = r.height() + 2;
    // Top 16 pixels below the pointer, bottom at pointer y + 14 + the measured height.
    setGeometry(pointer.x(), pointer.y() + 16, w, h - 2);
    show();
    update();
}
