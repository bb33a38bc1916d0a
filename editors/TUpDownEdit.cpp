#include "TUpDownEdit.h"

#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QToolButton>

#include <algorithm>

namespace {
constexpr int ArrowWidth = 16;
}

TUpDownEdit::TUpDownEdit(QWidget *parent) : QWidget(parent)
{
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("Edit"));
    edit_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,6}")), edit_));
    up_ = new QToolButton(this);
    up_->setObjectName(QStringLiteral("Up"));
    up_->setArrowType(Qt::UpArrow);
    up_->setAutoRepeat(true);
    down_ = new QToolButton(this);
    down_->setObjectName(QStringLiteral("Down"));
    down_->setArrowType(Qt::DownArrow);
    down_->setAutoRepeat(true);
    connect(edit_, &QLineEdit::textChanged, this, [this] { TextEdited(); });
    connect(edit_, &QLineEdit::editingFinished, this, [this] {
        const int p = Position();
        if (edit_->text() != QString::number(p))
            SetPosition(p);
    });
    connect(up_, &QToolButton::clicked, this, [this] { Step(1); });
    connect(down_, &QToolButton::clicked, this, [this] { Step(-1); });
    edit_->setText(QStringLiteral("1"));
}

void TUpDownEdit::SetRange(int min, int max)
{
    min_ = min;
    max_ = std::max(min, max);
    const int p = std::clamp(edit_->text().toInt(), min_, max_);
    if (edit_->text() != QString::number(p))
        SetPosition(p);
}

void TUpDownEdit::SetPosition(int position)
{
    edit_->setText(QString::number(std::clamp(position, min_, max_)));
}

int TUpDownEdit::Position() const
{
    return std::clamp(edit_->text().toInt(), min_, max_);
}

void TUpDownEdit::TextEdited()
{
    if (edit_->text().toInt() > max_) {
        edit_->setText(QString::number(max_));   // runs this again with the maximum
        return;
    }
    emit Changed(Position());
}

void TUpDownEdit::Step(int delta)
{
    SetPosition(Position() + delta);
}

void TUpDownEdit::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    const int w = width() - ArrowWidth;
    edit_->setGeometry(0, 0, w, height());
    up_->setGeometry(w, 0, ArrowWidth, height() / 2);
    down_->setGeometry(w, height() / 2, ArrowWidth, height() - height() / 2);
}
