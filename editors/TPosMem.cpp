#include "TPosMem.h"
#include "ui_PosMem.h"

#include "FixtureArea.h"
#include "MainForm.h"
#include "OutputEngine.h"
#include "PlayState.h"
#include "SceneFixtures.h"

#include "controls/TColor.h"
#include "platform/MsgBox.h"

#include <QListWidget>
#include <QSignalBlocker>
#include <QTabBar>

namespace {
constexpr std::size_t MaxPositionName = 254;
}

TPosMem::TPosMem(QWidget *parent) : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint), ui(new Ui::TPosMem)
{
    ui->setupUi(this);
    setFixedSize(size());
    ui->TabControl->setExpanding(false);
    ui->TabControl->setUsesScrollButtons(true);
    ui->FieldXY->SetTwoSize(false);
    ui->FocusSlider->SetMin(0);
    ui->FocusSlider->SetMax(255);

    connect(ui->TabControl, &QTabBar::currentChanged, this, [this] { TabControlChange(); });
    connect(ui->EditName, &QLineEdit::textEdited, this, [this] { EditNameChange(); });
    connect(ui->DevList, &QListWidget::currentRowChanged, this, [this](int row) { DevListClick(row); });
    connect(ui->FieldXY, &TFieldXY::OnChange, this, [this] { FieldXYChange(); });
    connect(ui->FocusSlider, &TSlider::OnChange, this, [this] { FocusSliderChange(); });
    connect(ui->GetPositions, &QPushButton::clicked, this, [this] { GetPositionsClick(); });
    connect(ui->NextShowScene, &QPushButton::clicked, this, [] {
        if (MainForm)
            MainForm->NextClick();
    });
    connect(ui->PrevShowScene, &QPushButton::clicked, this, [] {
        if (MainForm)
            MainForm->PrevClick();
    });
    connect(ui->UpdateThis, &QPushButton::clicked, this, [this] { UpdateThisClick(); });
    connect(ui->UpdateAll, &QPushButton::clicked, this, [this] { UpdateAllClick(); });
    connect(ui->AddPosition, &QPushButton::clicked, this, [this] { AddPositionClick(); });
    connect(ui->RemovePosition, &QPushButton::clicked, this, [this] { RemovePositionClick(); });
    connect(ui->Close, &QPushButton::clicked, this, &QDialog::accept);

    FillDevList();
    FillTabs(1);
}

TPosMem::~TPosMem()
{
    delete ui;
}

int TPosMem::Current() const
{
    return ui->TabControl->currentIndex() + 1;
}

void TPosMem::FillTabs(int current)
{
    const QSignalBlocker block(ui->TabControl);
    while (ui->TabControl->count() > PositionSceneCount)
        ui->TabControl->removeTab(ui->TabControl->count() - 1);
    while (ui->TabControl->count() < PositionSceneCount)
        ui->TabControl->addTab(QString::number(ui->TabControl->count() + 1));
    ui->TabControl->setCurrentIndex(std::clamp(current, 1, std::max(1, static_cast<int>(PositionSceneCount))) - 1);
    TabControlChange();
}

void TPosMem::FillDevList()
{
    const QSignalBlocker block(ui->DevList);
    ui->DevList->clear();
    int selectedRow = -1;
    for (int i = 0; i < FixtureCount && i < static_cast<int>(Fixtures.size()); ++i) {
        const FixtureRecord &f = Fixtures[static_cast<std::size_t>(i)];
        auto *item = new QListWidgetItem(platform::FromBytes(FixtureHeaderText(i)), ui->DevList);
        const bool panTilt = RolesOf(f).HasPanTilt();
        item->setBackground(toQColor(panTilt ? TColor(0x00FF00) : TColor(0x808080)));
        item->setForeground(Qt::black);
        if (!panTilt)
            item->setFlags(item->flags() & ~(Qt::ItemIsSelectable | Qt::ItemIsEnabled));
        else if (selectedRow < 0 || i == SelectedFixture)
            selectedRow = i;
    }
    if (selectedRow >= 0) {
        ui->DevList->setCurrentRow(selectedRow);
        fixture_ = selectedRow;
        channels_ = PositionChannelsOf(Fixtures[static_cast<std::size_t>(selectedRow)]);
    }
}

void TPosMem::TabControlChange()
{
    const PositionScene *pos = PositionSceneAt(Current());
    {
        const QSignalBlocker block(ui->EditName);
        ui->EditName->setText(pos ? platform::FromBytes(pos->name) : QString());
    }
    ShowPosition();
}

void TPosMem::EditNameChange()
{
    PositionScene *pos = PositionSceneAt(Current());
    if (!pos)
        return;
    std::string bytes = platform::ToBytes(ui->EditName->text());
    if (bytes.size() > MaxPositionName)
        bytes.resize(MaxPositionName);
    pos->name = bytes;
    ShowModified = 1;
}

void TPosMem::DevListClick(int row)
{
    if (!FixtureIndexValid(row) || !RolesOf(Fixtures[static_cast<std::size_t>(row)]).HasPanTilt())
        return;
    if (MainForm)
        MainForm->Select(row);
    fixture_ = row;
    channels_ = PositionChannelsOf(Fixtures[static_cast<std::size_t>(row)]);
    ShowPosition();
}

void TPosMem::ShowPosition()
{
    const PositionScene *pos = PositionSceneAt(Current());
    const bool panTilt = pos && channels_.HasPanTilt();
    const bool focus = pos && channels_.FirstFocus() >= 0;
    ui->FieldXY->setVisible(panTilt);
    ui->FocusSlider->setVisible(focus);
    ui->FocusLabel->setVisible(focus);
    if (!pos)
        return;
    if (focus) {
        const int c = channels_.FirstFocus();
        ui->FocusSlider->SetPosition(pos->levels[c]);
        SetChannelLevel(c, pos->levels[c]);
    }
    if (!panTilt)
        return;
    ui->FieldXY->Set16bit(channels_.HasFine());
    ui->FieldXY->SetPosition(pos->levels[channels_.pan], pos->levels[channels_.tilt]);
    SetChannelLevel(channels_.pan, pos->levels[channels_.pan]);
    SetChannelLevel(channels_.tilt, pos->levels[channels_.tilt]);
    if (channels_.HasFine()) {
        ui->FieldXY->SetFineX(pos->levels[channels_.panFine]);
        ui->FieldXY->SetFineY(pos->levels[channels_.tiltFine]);
        SetChannelLevel(channels_.panFine, pos->levels[channels_.panFine]);
        SetChannelLevel(channels_.tiltFine, pos->levels[channels_.tiltFine]);
    }
    ui->FieldXY->ShowStoredReadouts();
}

void TPosMem::Write(int channel, int value)
{
    PositionScene *pos = PositionSceneAt(Current());
    if (!pos || channel < 0 || channel >= MaxChannels)
        return;
    pos->levels[channel] = static_cast<std::uint8_t>(std::clamp(value, 0, 255));
    SetChannelLevel(channel, pos->levels[channel]);
    ShowModified = 1;
}

void TPosMem::FieldXYChange()
{
    if (!channels_.HasPanTilt())
        return;
    Write(channels_.pan, ui->FieldXY->GetX());
    Write(channels_.tilt, ui->FieldXY->GetY());
    if (channels_.HasFine()) {
        Write(channels_.panFine, ui->FieldXY->GetFineX());
        Write(channels_.tiltFine, ui->FieldXY->GetFineY());
    }
}

void TPosMem::FocusSliderChange()
{
    Write(channels_.FirstFocus(), ui->FocusSlider->Position());
}

void TPosMem::GetPositionsClick()
{
    if (TakePositionsFromCurrentScene(Current()))
        ShowPosition();
}

void TPosMem::UpdateThisClick()
{
    UpdatePositionReferences(Current());
    SceneToFixtures();
    if (MainForm)
        MainForm->Reselect(SelectedFixture);
}

void TPosMem::UpdateAllClick()
{
    UpdatePositionReferences(0);
    SceneToFixtures();
    if (MainForm)
        MainForm->Reselect(SelectedFixture);
}

void TPosMem::AddPositionClick()
{
    const int added = AddPositionScene(Current());
    if (added > 0)
        FillTabs(added);
}

void TPosMem::RemovePositionClick()
{
    const int next = RemovePositionScene(Current());
    if (next > 0)
        FillTabs(next);
}
