#include "OpenPreviewDialog.h"

#include "platform/MsgBox.h"

#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QTextEdit>
#include <QToolTip>
#include <QVBoxLayout>

TKpOpenPreviewDialog::TKpOpenPreviewDialog(QWidget *parent) : QFileDialog(parent)
{
    // The pane needs the dialog's own widgets, not the desktop's dialog.
    setOption(QFileDialog::DontUseNativeDialog, true);
    setFileMode(QFileDialog::ExistingFile);
    setAcceptMode(QFileDialog::AcceptOpen);

    auto *side = new QWidget(this);
    side->setObjectName(QStringLiteral("PreviewSide"));
    auto *column = new QVBoxLayout(side);
    column->setContentsMargins(0, 12, 4, 4);
    column->setSpacing(1);
    CaptionPanel = new QLabel(QStringLiteral("Preview"), side);
    CaptionPanel->setObjectName(QStringLiteral("CaptionPanel"));
    CaptionPanel->setAlignment(Qt::AlignCenter);
    CaptionPanel->setFrameShape(QFrame::NoFrame);
    column->addWidget(CaptionPanel);
    PreviewBox = new QFrame(side);
    PreviewBox->setObjectName(QStringLiteral("PreviewBox"));
    PreviewBox->setFrameShape(QFrame::StyledPanel);
    PreviewBox->setFrameShadow(QFrame::Sunken);
    PreviewBox->setMinimumWidth(200);
    auto *stack = new QGridLayout(PreviewBox);
    stack->setContentsMargins(1, 1, 1, 1);
    column->addWidget(PreviewBox, 1);
    FPreviewText = new QTextEdit(PreviewBox);
    FPreviewText->setObjectName(QStringLiteral("FPreviewText"));
    stack->addWidget(FPreviewText, 0, 0);

    // The standard dialog keeps its place at the left; the pane takes a new column.
    if (auto *grid = qobject_cast<QGridLayout *>(layout()))
        grid->addWidget(side, 0, grid->columnCount(), grid->rowCount(), 1);
    resize(760, 400);

    connect(this, &QFileDialog::currentChanged, this, &TKpOpenPreviewDialog::CurrentChanged);
}

TKpOpenPreviewDialog::~TKpOpenPreviewDialog() = default;

void TKpOpenPreviewDialog::SetCustomPreviewExt(const QStringList &extensions)
{
    if (extensions.join(QLatin1Char('\n')) != customPreviewExtensions_.join(QLatin1Char('\n')))
        customPreviewExtensions_ = extensions;
}

std::string TKpOpenPreviewDialog::GetCaption() const
{
    return platform::ToBytes(CaptionPanel->text());
}

void TKpOpenPreviewDialog::SetCaption(const std::string &caption)
{
    CaptionPanel->setText(platform::FromBytes(caption));
}

std::optional<std::string> TKpOpenPreviewDialog::Execute()
{
    return platform::RunFileDialog(*this);
}

void TKpOpenPreviewDialog::showEvent(QShowEvent *event)
{
    QFileDialog::showEvent(event);
    FPreview();
}

void TKpOpenPreviewDialog::done(int result)
{
    QToolTip::hideText();
    QFileDialog::done(result);
}

void TKpOpenPreviewDialog::CurrentChanged(const QString &path)
{
    currentPath_ = path;
    FPreview();
}

void TKpOpenPreviewDialog::FPreview()
{
    auto *stack = static_cast<QGridLayout *>(PreviewBox->layout());
    delete FPreviewImage;
    FPreviewImage = new QLabel(PreviewBox);
    FPreviewImage->setObjectName(QStringLiteral("FPreviewImage"));
    FPreviewImage->setAlignment(Qt::AlignCenter);
    FPreviewImage->setScaledContents(false);
    FPreviewImage->setAutoFillBackground(true);
    FPreviewImage->setBackgroundRole(QPalette::Base);
    stack->addWidget(FPreviewImage, 0, 0);

    FPreviewText->clear();
    FPreviewText->setReadOnly(true);
    FPreviewText->setFrameShape(QFrame::NoFrame);
    FPreviewText->setLineWrapMode(QTextEdit::NoWrap);
    FPreviewText->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    FPreviewText->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    FPreviewText->setFont(PreviewBox->font());
    FPreviewText->setAlignment(Qt::AlignLeft);

    QFileInfo info(currentPath_);
    std::string extension = info.suffix().toLower().toStdString();
    bool made = false;
    if (!currentPath_.isEmpty() && info.exists() && info.isFile() &&
        customPreviewExtensions_.contains(QString::fromStdString(extension)) && OnPreview) {
        try {
            OnPreview(this, extension);
            made = true;
        } catch (...) {
            platform::ShowMessage("", "Error Preview");
        }
    }
    if (!made) {
        // No preview: the text pane, empty, word-wrapped and centred, stands in front.
        FPreviewText->clear();
        FPreviewText->setLineWrapMode(QTextEdit::WidgetWidth);
        FPreviewText->setAlignment(Qt::AlignCenter);
    }
    if (made && FPreviewText->document()->isEmpty()) {
        FPreviewText->hide();
        FPreviewImage->show();
        FPreviewImage->raise();
    } else {
        FPreviewImage->hide();
        FPreviewText->show();
        FPreviewText->raise();
    }
    PreviewBox->update();
    CaptionPanel->update();
}
