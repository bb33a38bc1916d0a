#include "TCopyPaste.h"
#include "ui_CopyPaste.h"

#include "GraphBlocks.h"
#include "ValueChart.h"

#include "app/FixtureArea.h"

#include "platform/MsgBox.h"

#include <QSignalBlocker>

TCopyPaste::TCopyPaste(QWidget *parent) : QDialog(parent), ui(new Ui::TCopyPaste)
{
    ui->setupUi(this);
    connect(ui->OKButton, &QPushButton::clicked, this, [this] {
        TakeRanges();
        accept();
    });
    connect(ui->CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->AskCheck, &QCheckBox::clicked, this, [this] { AskEveryTime = ui->AskCheck->isChecked() ? 1 : 0; });
    for (QSpinBox *from : {ui->FromTrack, ui->FromScene})
        connect(from, &QSpinBox::valueChanged, this, &TCopyPaste::FromChanged);
    for (QSpinBox *to : {ui->ToTrack, ui->ToScene})
        connect(to, &QSpinBox::valueChanged, this, &TCopyPaste::ToChanged);
}

TCopyPaste::~TCopyPaste()
{
    delete ui;
}

void TCopyPaste::Prepare(BlockOperation op, int fixture)
{
    op_ = op;
    static const char *captions[] = {"Copy Track Data", "Paste Track Data", "Clear Track Data", "Fill Track From Buffer"};
    setWindowTitle(QString::fromLatin1(captions[static_cast<int>(op)]));
    const FixtureRecord *f = FixtureIndexValid(fixture) ? &Fixtures[static_cast<std::size_t>(fixture)] : nullptr;
    ui->FixtureName->setText(f ? platform::FromBytes(FixtureName(*f)) : QString());
    const SequenceRecord *seq = EditableSequence();
    const int scenes = seq ? seq->sceneCount : 1;
    const int channels = f ? f->channelCount : 1;
    const bool editable = op == BlockOperation::Copy || op == BlockOperation::Clear;
    BlockRange r = editable ? SelectionRange() : op == BlockOperation::Paste ? PasteRange(fixture) : FillRange(fixture);
    QSpinBox *boxes[] = {ui->FromTrack, ui->ToTrack, ui->FromScene, ui->ToScene};
    for (QSpinBox *b : boxes) {
        const QSignalBlocker block(b);
        b->setReadOnly(!editable);
        b->setButtonSymbols(editable ? QAbstractSpinBox::UpDownArrows : QAbstractSpinBox::NoButtons);
    }
    {
        const QSignalBlocker b1(ui->FromTrack), b2(ui->ToTrack), b3(ui->FromScene), b4(ui->ToScene);
        if (editable) {
            ui->FromScene->setRange(1, r.lastScene + 1);
            ui->ToScene->setRange(r.firstScene + 1, scenes);
            ui->FromTrack->setRange(1, r.lastChannel + 1);
            ui->ToTrack->setRange(r.firstChannel + 1, channels);
        } else {
            for (QSpinBox *b : boxes)
                b->setRange(0, 16384);
        }
        ui->FromScene->setValue(r.firstScene + 1);
        ui->ToScene->setValue(r.lastScene + 1);
        ui->FromTrack->setValue(r.firstChannel + 1);
        ui->ToTrack->setValue(r.lastChannel + 1);
    }
    ui->RepeatLabel->setVisible(op == BlockOperation::Fill);
    ui->RepeatLabel->setText(QStringLiteral("Repeat: %1").arg(FillRepeats()));
    ui->AskCheck->setChecked(AskEveryTime != 0);
}

void TCopyPaste::FromChanged()
{
    if (ui->FromTrack->isReadOnly())
        return;
    ui->ToTrack->setMinimum(ui->FromTrack->value());
    ui->ToScene->setMinimum(ui->FromScene->value());
}

void TCopyPaste::ToChanged()
{
    if (ui->ToTrack->isReadOnly())
        return;
    ui->FromTrack->setMaximum(ui->ToTrack->value());
    ui->FromScene->setMaximum(ui->ToScene->value());
}

void TCopyPaste::TakeRanges()
{
    if (op_ != BlockOperation::Copy && op_ != BlockOperation::Clear)
        return;
    SelFirstChannel = ui->FromTrack->value() - 1;
    SelLastChannel = ui->ToTrack->value() - 1;
    SelFirstScene = ui->FromScene->value() - 1;
    SelLastScene = ui->ToScene->value() - 1;
    SelectionValid = 1;
}

bool RunCopyPaste(BlockOperation op, int fixture)
{
    TCopyPaste dialog;
    dialog.Prepare(op, fixture);
    return platform::RunModalDialog(dialog) == QDialog::Accepted;
}
