#include "TSeqStCopF.h"
#include "ui_SeqStCopF.h"

#include "FixtureArea.h"
#include "SceneFixtures.h"

#include "platform/MsgBox.h"

#include <QSignalBlocker>

namespace {
const char *const DeviceSequenceFilter = "Device Sequence(*.sqd)|*.sqd";
}

TSeqStCopF::TSeqStCopF(int mode, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint), ui(new Ui::TSeqStCopF), mode_(mode)
{
    ui->setupUi(this);
    setFixedSize(size());
    ui->Label1->setText(mode_ == 0 ? QStringLiteral("Copy SEQUENCE state of device")
                                   : QStringLiteral("Insert SEQUENCE state of device"));
    ui->FileButton->setText(mode_ == 0 ? QStringLiteral("Save file") : QStringLiteral("Load file"));
    range_ = InitialSceneRange(mode_, CurScene, SceneCount(), DeviceSequenceSceneCount);
    ShowRange();
    connect(ui->EditFrom, &TUpDownEdit::Changed, this, [this](int from) { FromChanged(from); });
    connect(ui->EditTo, &TUpDownEdit::Changed, this, [this](int to) { range_.to = to; });
    connect(ui->FileButton, &QPushButton::clicked, this, [this] { FileButtonClick(); });
    connect(ui->OK, &QPushButton::clicked, this, [this] { OKClick(); });
    connect(ui->Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

TSeqStCopF::~TSeqStCopF()
{
    delete ui;
}

int TSeqStCopF::SceneCount() const
{
    const SequenceRecord *seq = CurrentSequenceRecord();
    return seq ? seq->sceneCount : 0;
}

int TSeqStCopF::First() const
{
    return ui->EditFrom->Position() - 1;
}

int TSeqStCopF::Last() const
{
    return ui->EditTo->Position() - 1;
}

void TSeqStCopF::ShowRange()
{
    const QSignalBlocker from(ui->EditFrom);
    const QSignalBlocker to(ui->EditTo);
    ui->EditFrom->SetRange(range_.fromMin, range_.fromMax);
    ui->EditFrom->SetPosition(range_.from);
    ui->EditTo->SetRange(range_.toMin, range_.toMax);
    ui->EditTo->SetPosition(range_.to);
    ui->OK->setEnabled(mode_ == 0 || DeviceSequenceSceneCount > 0);
}

void TSeqStCopF::FromChanged(int from)
{
    range_.to = ui->EditTo->Position();
    FromSceneChanged(range_, mode_, from, SceneCount(), DeviceSequenceSceneCount);
    ShowRange();
}

void TSeqStCopF::OKClick()
{
    DeviceSequenceRange = SceneRange{First(), Last()};
    accept();
}

void TSeqStCopF::FileButtonClick()
{
    if (mode_ == 0) {
        const SequenceRecord *seq = CurrentSequenceRecord();
        if (!seq || !FixtureIndexValid(SelectedFixture))
            return;
        auto path = platform::SaveFileDialog("Save Device Sequence", DeviceSequenceFilter);
        if (!path)
            return;
        DeviceSequenceRange = SceneRange{First(), Last()};
        SaveDeviceSequenceFile(*path, Fixtures[static_cast<std::size_t>(SelectedFixture)], *seq, First(), Last());
        return;
    }
    auto path = platform::OpenFileDialog("Load Device Sequence", DeviceSequenceFilter);
    if (!path || !LoadDeviceSequenceFile(*path))
        return;
    range_ = InitialSceneRange(mode_, CurScene, SceneCount(), DeviceSequenceSceneCount);
    ShowRange();
}
