// The transport bar of the main window: play and stop, background play, step and fade
// kinds, tempo tap, black-out, favourite, cross-fades and the display timer that shows
// the running play.
#include "MainForm.h"
#include "ui_MainForm.h"

#include "EngineHold.h"
#include "FixtureArea.h"
#include "LevelPipeline.h"
#include "MultiSeqSlots.h"
#include "OutputEngine.h"
#include "PlayControl.h"
#include "PlayState.h"
#include "SceneFixtures.h"
#include "ShowModel.h"
#include "StartupState.h"
#include "WindowSeams.h"

#include "controls/Buttons.h"
#include "controls/SpeedButton.h"
#include "controls/SpinEdits.h"
#include "editors/ValueChart.h"
#include "fixtures/TDesign.h"
#include "live/TAudSynch.h"

#include "platform/Clock.h"
#include "platform/MsgBox.h"

#include <QAbstractSlider>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

const char *const AppCaption = "Brantoval-1024";
const char *const CommonFadeHint = "Common Fade for All Scenes in Sequence";
const char *const SceneFadeHint = "Fade Time = Scene Time";
const char *const TrackFadeHint = "Fade Time from Fade Track\r\nUse V/T Editor for Editing";

// Speed-button group numbers: Play and Stop form one group; every toggle button has
// its own group so that it can go down and up on its own.
enum ButtonGroup { GroupPlayStop = 1, GroupSynch, GroupCycle, GroupUseFade, GroupDisaFav, GroupDisaSeq, GroupNonSmooth };

// Calls a function on a right-button press of the watched widget; the press goes on to
// the widget as usual.
class RightButtonFilter : public QObject {
public:
    RightButtonFilter(QObject *parent, std::function<void()> onRight) : QObject(parent), onRight_(std::move(onRight)) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonPress &&
            static_cast<QMouseEvent *>(event)->button() == Qt::RightButton)
            onRight_();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> onRight_;
};

void OnRightButton(QWidget *w, std::function<void()> f)
{
    w->installEventFilter(new RightButtonFilter(w, std::move(f)));
}

// Glyphs. The bottom-left pixel is the see-through colour of a speed-button glyph.
const QColor GlyphKey(255, 0, 255);

QImage BlankGlyph()
{
    QImage img(18, 18, QImage::Format_RGB32);
    img.fill(GlyphKey);
    return img;
}

QImage PlayGlyph(bool background)
{
    QImage img = BlankGlyph();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.moveTo(4, 2);
    path.lineTo(15, 9);
    path.lineTo(4, 16);
    path.closeSubpath();
    p.fillPath(path, background ? QColor(0, 90, 200) : QColor(0, 150, 0));
    p.setPen(Qt::black);
    p.drawPath(path);
    if (background) {
        p.setPen(Qt::white);
        p.drawLine(7, 7, 7, 11);
        p.drawLine(9, 8, 9, 10);
    }
    return img;
}

QImage StopGlyph()
{
    QImage img = BlankGlyph();
    QPainter p(&img);
    p.fillRect(4, 4, 10, 10, QColor(170, 0, 0));
    p.setPen(Qt::black);
    p.drawRect(4, 4, 10, 10);
    return img;
}

// Step kinds: 0 tempo, 1 scene time, 2 beat, 3 manual.
QImage SynchGlyph(int kind)
{
    QImage img = BlankGlyph();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor colours[4] = {QColor(0, 120, 0), QColor(0, 70, 170), QColor(170, 90, 0), QColor(140, 0, 140)};
    p.setBrush(colours[kind & 3]);
    p.setPen(Qt::black);
    p.drawEllipse(1, 1, 15, 15);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(11);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    const char *letters[4] = {"T", "S", "B", "M"};
    p.drawText(QRect(1, 1, 15, 15), Qt::AlignCenter, QString::fromLatin1(letters[kind & 3]));
    return img;
}

// Fade kinds: 0 common fade, 1 fade over the whole scene time, 2 fade track.
QImage FadeGlyph(int kind)
{
    QImage img = BlankGlyph();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 0, 140), 2));
    switch (kind) {
    case 0:
        p.drawLine(2, 15, 7, 4);
        p.drawLine(7, 4, 16, 4);
        break;
    case 1:
        p.drawLine(2, 15, 16, 3);
        break;
    default:
        p.drawLine(2, 15, 5, 8);
        p.drawLine(5, 8, 9, 11);
        p.drawLine(9, 11, 12, 4);
        p.drawLine(12, 4, 16, 6);
        break;
    }
    return img;
}

QWidget *NamedWidget(QObject *root, const char *name)
{
    return root->findChild<QWidget *>(QString::fromLatin1(name));
}

// Sets a number or a text on a control whose kind the owning command decides.
void ShowNumber(QWidget *w, int n)
{
    if (!w)
        return;
    if (auto *slider = qobject_cast<QAbstractSlider *>(w)) {
        const QSignalBlocker block(slider);
        slider->setValue(n);
    } else if (auto *spin = qobject_cast<QSpinBox *>(w)) {
        const QSignalBlocker block(spin);
        spin->setValue(n);
    } else if (auto *edit = qobject_cast<QLineEdit *>(w)) {
        edit->setText(QString::number(n));
    } else if (auto *label = qobject_cast<QLabel *>(w)) {
        label->setText(QString::number(n));
    } else {
        w->setProperty("Position", n);
    }
}

void ShowText(QWidget *w, const QString &text)
{
    if (auto *edit = qobject_cast<QLineEdit *>(w))
        edit->setText(text);
    else if (auto *label = qobject_cast<QLabel *>(w))
        label->setText(text);
}

QString SceneNameText(const SceneRecord &scene)
{
    const auto end = std::find(scene.name.begin(), scene.name.end(), '\0');
    return platform::FromBytes(std::string(scene.name.begin(), end));
}

void SetHint(TSpeedButton *b, const char *hint)
{
    b->SetHintText(QByteArray(hint));
    b->setToolTip(platform::DisplayText(hint));
}

bool HasCurrentScene()
{
    return CurrentSceneRecord() != nullptr;
}

} // namespace

void TMainForm::TransportCreate()
{
    if (transportCreated_)
        return;
    transportCreated_ = true;

    ui->Play->SetGroupIndex(GroupPlayStop);
    ui->Stop->SetGroupIndex(GroupPlayStop);
    ui->Stop->SetDown(true);
    ui->Play->SetGlyph(PlayGlyph(false));
    ui->Stop->SetGlyph(StopGlyph());
    SetHint(ui->Play, "Play");
    SetHint(ui->Stop, "Stop");
    struct Toggle {
        TSpeedButton *button;
        int group;
    } toggles[] = {{ui->SynchButton, GroupSynch},     {ui->CycleButton, GroupCycle},
                   {ui->UseFade, GroupUseFade},       {ui->DisaFavorite, GroupDisaFav},
                   {ui->DisaSequence, GroupDisaSeq},  {ui->ButtonNonSmooth, GroupNonSmooth}};
    for (const Toggle &t : toggles) {
        t.button->SetGroupIndex(t.group);
        t.button->SetAllowAllUp(true);
    }
    ui->SynchButton->SetGlyph(SynchGlyph(0));
    ui->FadeButton->SetGlyph(FadeGlyph(0));
    ui->TempoButton->SetCaption("Tempo");
    ui->CycleButton->SetCaption("C");
    ui->UseFade->SetCaption("F");
    ui->ButtonNonSmooth->SetCaption("J");
    ui->DisaFavorite->SetCaption("x");
    ui->DisaSequence->SetCaption("x");
    ui->BlackOut1->SetCaption("Black Out");
    ui->Favourite->SetCaption("Favorite");
    ui->BlackOut1->SetColor(clSilver);
    ui->Favourite->SetColor(FavouriteAssigned ? clLime : clSilver);

    for (TTimeEdit *e : {ui->TimeEditSc, ui->FadeTime, ui->CrossFadeFavorite, ui->CrossFadeSeq}) {
        e->MinValue = 50;
        e->MaxValue = 30000;
        e->Increment = 50;
    }
    ui->TimeEditSc->SetValue(500);
    ui->FadeTime->SetValue(50);
    ui->CrossFadeFavorite->SetValue(3000);
    ui->CrossFadeSeq->SetValue(1000);
    ui->TimeEditSc->hide();

    Tempo = ui->UpDownTempo->findChild<QLineEdit *>();
    if (Tempo)
        Tempo->setObjectName(QStringLiteral("Tempo"));

    // The tempo twins of the docked multi-sequence panel, hidden until that panel exists.
    DUpDownTempo = new QSpinBox(this);
    DUpDownTempo->setObjectName(QStringLiteral("DUpDownTempo"));
    DUpDownTempo->setRange(2, 600);
    DUpDownTempo->setValue(120);
    DUpDownTempo->hide();
    DTempo = DUpDownTempo->findChild<QLineEdit *>();
    if (DTempo)
        DTempo->setObjectName(QStringLiteral("DTempo"));
    DTempoButton = new TSpeedButton(this);
    DTempoButton->setObjectName(QStringLiteral("DTempoButton"));
    DTempoButton->SetCaption("Tempo");
    // A painted button has no size of its own: the transport bar's layout needs one.
    DTempoButton->setFixedSize(48, 24);
    DTempoButton->hide();

    TimerFonPlay = new QTimer(this);
    TimerFonPlay->setObjectName(QStringLiteral("TimerFonPlay"));
    TimerFonPlay->setInterval(50);

    PlayPopup = new QMenu(this);
    PlayPopup->setObjectName(QStringLiteral("PlayPopup"));
    connect(PlayPopup, &QMenu::aboutToShow, this, [this] { PlayPopupPopup(); });
    // The item is shared with the "Operation" menu, which offers it by the same rule.
    connect(ui->OperationMenu, &QMenu::aboutToShow, this, [this] {
        PlayPopupPopup();
    });

    connect(ui->Play, &TSpeedButton::OnClick, this, [this] { PlayClick(); });
    connect(ui->Stop, &TSpeedButton::OnClick, this, [this] { StopClick(ui->Stop); });
    OnRightButton(ui->Play, [this] { PlayMouseDown(); });
    connect(ui->TempoButton, &TSpeedButton::OnClick, this, [this] { TempoButtonClick(); });
    connect(DTempoButton, &TSpeedButton::OnClick, this, [this] { TempoButtonClick(); });
    connect(ui->UpDownTempo, &QSpinBox::valueChanged, this, [this] { TempoChange(); });
    connect(DUpDownTempo, &QSpinBox::valueChanged, this, [this] { TempoChange(); });
    connect(ui->UpDownTempo, &QSpinBox::editingFinished, this, [this] { TempoExit(); });
    connect(DUpDownTempo, &QSpinBox::editingFinished, this, [this] { TempoExit(); });
    connect(ui->SynchButton, &TSpeedButton::OnClick, this, [this] { SynchButtonClick(); });
    OnRightButton(ui->SynchButton, [this] { SynchButtonMouseDown(); });
    connect(ui->CycleButton, &TSpeedButton::OnClick, this, [this] { CycleButtonClick(); });
    connect(ui->UseFade, &TSpeedButton::OnClick, this, [this] { UseFadeClick(); });
    connect(ui->FadeButton, &TSpeedButton::OnClick, this, [this] { FadeButtonClick(); });
    connect(ui->FadeTime, &TTimeEdit::OnChange, this, [this] { FadeTimeChange(); });
    connect(ui->TimeEditSc, &TTimeEdit::OnChange, this, [this] { TimeEditScChange(); });
    connect(ui->BlackOut1, &TBlinkButton::OnClick, this, [this] { BlackOut1Click(); });
    connect(ui->Favourite, &TBlinkButton::OnClick, this, [this] { FavouriteClick(); });
    OnRightButton(ui->Favourite, [this] { FavouriteMouseDown(); });
    connect(ui->DisaFavorite, &TSpeedButton::OnClick, this, [this] { DisaFavoriteClick(); });
    connect(ui->DisaSequence, &TSpeedButton::OnClick, this, [this] { DisaSequenceClick(); });
    connect(TimerFonPlay, &QTimer::timeout, this, [this] { TimerFonPlayTimer(); });

    connect(ui->Play1, &QAction::triggered, this, [this] { Play1Click(); });
    connect(ui->BlackOut, &QAction::triggered, this, [this] { BlackOutClick(); });
    connect(ui->Favour, &QAction::triggered, this, [this] { FavourClick(); });
    connect(ui->PlayBack, &QAction::triggered, this, [this] { PlayBackClick(); });
    connect(ui->SynchChange, &QAction::triggered, this, [this] { SynchButtonClick(); });
    connect(ui->CycleSequence, &QAction::triggered, this, [this] { CycleButtonClick(); });
    connect(ui->TempoClick1, &QAction::triggered, this, [this] { TempoClick1Click(); });
    connect(ui->ManualForward, &QAction::triggered, this, [this] { ManualForwardClick(); });
    connect(ui->GO, &QAction::triggered, this, [this] { GOClick(); });
    // The window holds every item of the menu and the hidden ones, so that their
    // shortcuts fire whatever menu is shown.
    addActions(ui->OperationMenu->actions());
    addActions({ui->SynchChange, ui->CycleSequence, ui->TempoClick1, ui->ManualForward, ui->GO});

    // The hardware window takes the caption it is shown with, until it installs its own.
    if (!WindowSeams().showAudSynch)
        WindowSeams().showAudSynch = [](const std::string &caption) {
            if (!AudSynch)
                return;
            AudSynch->setWindowTitle(QString::fromStdString(caption));
            AudSynch->show();
            AudSynch->raise();
        };
}

// ---- play and stop ----------------------------------------------------------------------

void TMainForm::SetEditingControlsEnabled(bool enabled)
{
    static const char *const names[] = {"NewSeq",   "DelSeq",    "NewScene",   "DeleteButton",
                                        "Scene",    "SceneNum",  "SliderScene", "PrevScene",
                                        "NextScene", "CopyButton", "InsertButton", "ReplaceButton"};
    for (const char *name : names)
        if (QWidget *w = NamedWidget(this, name))
            w->setEnabled(enabled);
}

void TMainForm::SetPlayMenusEnabled(bool enabled)
{
    for (QAction *a : ui->MainMenu->actions()) {
        if (!a->menu())
            continue;
        const QString title = a->text().remove(QLatin1Char('&'));
        if (title == QLatin1String("Show") || title == QLatin1String("Sequences") || title == QLatin1String("Scenes"))
            a->setEnabled(enabled);
    }
}

void TMainForm::Play1Click()
{
    TransportCreate();
    CallSeam(WindowSeams().sequencesListCheckEditing);
    if (CrossFading.load())
        WaitCrossFinal();
    if (PlayListRunning.load())
        CallSeam(WindowSeams().playListStop);
    else if (AskSeam(WindowSeams().playListVisible))
        CallSeam(WindowSeams().playListPlay);
    else if (PlayInBackground.load())
        StopClick();
    else if (AskSeam(WindowSeams().multiSeqMenuChecked))
        CallSeam(Playing.load() ? WindowSeams().multiSeqStop : WindowSeams().multiSeqPlay);
    else if (!Playing.load())
        PlayClick();
    else
        StopClick();
}

void TMainForm::PlayClick()
{
    TransportCreate();
    if (CrossFading.load())
        WaitCrossFinal();
    if (Playing.load() || PlayInBackground.load())
        return;
    if (FavouriteOn.load()) {
        FavouriteOn.store(0);
        ui->Favourite->SetDown(false);
        CallSeam(WindowSeams().applyInputToMasters);
        // Without a current scene there is nothing to fade to: the favourite just ends.
        if (HasCurrentScene())
            MakeCrossFadeSequence(CurSequence, CurScene);
    }
    SetEditingControlsEnabled(false);
    if (!HasCurrentScene()) {
        StopClick();
        SetEditingControlsEnabled(true);
        ui->Stop->SetDown(true);
        return;
    }
    ui->Play->SetDown(true);
    if (QWidget *show = NamedWidget(this, "Show"))
        show->hide();
    FixturesToScene();
    SetDevices();
    SetPlayMenusEnabled(false);
    TimerFonPlay->setInterval(50);
    StartSinglePlay(CurSequence, CurScene);
    TimerFonPlay->start();
    if (ui->LeftPages->currentIndex() == 1)
        SetDevices();
}

void TMainForm::StopClick(QObject *sender)
{
    TransportCreate();
    const bool fromFavourite = sender == ui->Favourite;
    if (!fromFavourite && CrossFading.load())
        WaitCrossFinal();
    if (!Playing.load() && !MultiSeqRunning.load() && !PlayInBackground.load())
        return;
    if (MultiSeqRunning.load()) {
        CallSeam(WindowSeams().multiSeqStop);
        return;
    }
    if (PlayInBackground.load()) {
        TimerFonPlay->stop();
        PlayInBackground.store(0);
        ui->Play->SetGlyph(PlayGlyph(false));
    }
    TimerFonPlay->stop();
    if (Playing.load()) {
        Playing.store(0);
        SceneToFixtures();
        if (!fromFavourite)
            SetDevices();
    }
    SetHint(ui->Play, "Play");
    ui->Stop->SetDown(true);
    // The play clock and the tick figure belong to the run that ended.
    ui->Time->clear();
    ui->Label1->clear();
    SetPlayMenusEnabled(true);
    if (QWidget *show = NamedWidget(this, "Show"))
        show->show();
    SetEditingControlsEnabled(true);
}

void TMainForm::PlayMouseDown()
{
    TransportCreate();
    PlayPopupPopup();
    PlayPopup->popup(ui->Play->mapToGlobal(QPoint(0, ui->Play->height())));
}

void TMainForm::PlayPopupPopup()
{
    TransportCreate();
    PlayPopup->clear();
    PlayPopup->addAction(ui->PlayBack);
    // Background play needs an open device and a scene to start from.
    ui->PlayBack->setEnabled(DeviceState >= 0 && HasCurrentScene());
    ui->PlayBack->setVisible(!MultiSeqRunning.load() && !Playing.load() && !PlayInBackground.load() &&
                             !PlayListRunning.load());
}

void TMainForm::PlayBackClick()
{
    TransportCreate();
    PlayPopupPopup();
    if (!ui->PlayBack->isVisible() || !ui->PlayBack->isEnabled())
        return;
    ui->Play->SetGlyph(PlayGlyph(true));
    ui->Play->SetDown(true);
    StartBackgroundPlay(CurSequence, CurScene);
    SetHint(ui->Play, ("Background plays sequence " + std::to_string(CurSequence + 1)).c_str());
    TimerFonPlay->setInterval(1000);
    TimerFonPlay->start();
}

// ---- tempo ------------------------------------------------------------------------------

void TMainForm::TempoButtonClick()
{
    TransportCreate();
    if (SynchMode == 3) {
        ManualTrigger.store(1);
        return;
    }
    TapTempo tap{TapTime, TapInterval};
    const int tempo = tap.Tap(platform::MonotonicMs());
    TapTime = tap.TapTime;
    TapInterval = tap.TapInterval;
    if (tempo <= 0)
        return;
    if (MultiSeqRunning.load()) {
        DUpDownTempo->setValue(tempo);
        ui->UpDownTempo->setValue(tempo);
    } else if (SynchMode == 0) {
        ui->UpDownTempo->setValue(tempo);
    }
}

void TMainForm::TempoClick1Click()
{
    TempoButtonClick();
}

void TMainForm::ManualForwardClick()
{
    ManualTrigger.store(1);
}

void TMainForm::TempoChange()
{
    TransportCreate();
    SequenceRecord *seq = CurrentSequenceRecord();
    if (AccessLevel >= 2 || SequenceCount == 0 || !seq || showingValue_ > 0)
        return;
    int tempo;
    if (MultiSeqRunning.load()) {
        tempo = DUpDownTempo->value();
        const QSignalBlocker block(ui->UpDownTempo);
        ui->UpDownTempo->setValue(tempo);
    } else {
        tempo = ui->UpDownTempo->value();
    }
    seq->tempo = static_cast<std::uint32_t>(std::max(tempo, 1));
    if ((seq->flags & SeqFlagFade) && FadeModeOf(seq->modes) == 1) {
        ++showingValue_;
        ui->FadeTime->SetValue(static_cast<long>(60000 / UsableTempo(seq->tempo)));
        --showingValue_;
    }
}

void TMainForm::TempoExit()
{
    TransportCreate();
    if (Tempo)
        Tempo->setText(QString::number(ui->UpDownTempo->value()));
    if (MultiSeqRunning.load() && DTempo)
        DTempo->setText(QString::number(DUpDownTempo->value()));
}

// ---- step and fade kinds ----------------------------------------------------------------

void TMainForm::SynchButtonClick()
{
    TransportCreate();
    SequenceRecord *seq = CurrentSequenceRecord();
    if (AskSeam(WindowSeams().multiSeqMenuChecked) || AccessLevel > 1 || !HasCurrentScene()) {
        ui->SynchButton->SetDown(SynchMode >= 2);
        return;
    }
    const int kind = NextStepKind(SynchMode);
    {
        HoldEngine hold;
        SynchMode = static_cast<std::uint8_t>(kind);
        seq->modes = WithStepKind(seq->modes, kind);
    }
    ExtSynchSet(kind);
}

void TMainForm::ExtSynchSet(int kind)
{
    TransportCreate();
    if (AskSeam(WindowSeams().multiSeqMenuChecked))
        return;
    kind &= 3;
    ui->SynchButton->SetGlyph(SynchGlyph(kind));
    SynchMode = static_cast<std::uint8_t>(kind);
    SequenceRecord *seq = CurrentSequenceRecord();
    const SceneRecord *scene = CurrentSceneRecord();
    switch (kind) {
    case 0:
        ui->SynchButton->SetDown(false);
        if (Playing.load()) {
            // The next step follows at once, then at the new rhythm.
            HoldEngine hold;
            NextStepTime = PlayClock;
        }
        ui->UpDownTempo->show();
        ui->TimeEditSc->hide();
        ui->ScTimeLabel->setText(QStringLiteral("Tempo"));
        ui->TempoButton->SetCaption("Tempo");
        ui->TempoButton->setEnabled(true);
        if (seq) {
            ++showingValue_;
            ui->UpDownTempo->setValue(static_cast<int>(std::min<std::uint32_t>(seq->tempo, 600)));
            --showingValue_;
        }
        break;
    case 1:
        ui->SynchButton->SetDown(false);
        ui->UpDownTempo->hide();
        ui->TimeEditSc->show();
        ui->ScTimeLabel->setText(QStringLiteral("Scene Time"));
        ui->TempoButton->SetCaption("");
        ui->TempoButton->setEnabled(false);
        if (Playing.load()) {
            HoldEngine hold;
            NextStepTime = PlayClock;
        } else if (scene) {
            ++showingValue_;
            ui->TimeEditSc->SetValue(static_cast<long>(std::min<std::uint32_t>(scene->sceneTime, 99990)));
            --showingValue_;
        }
        break;
    default:
        if (seq && (seq->flags & SeqFlagFade) && FadeModeOf(seq->modes) == 1) {
            {
                HoldEngine hold;
                seq->modes = WithFadeKind(seq->modes, 0);
            }
            ExtFadeSet(0);
        }
        ui->UpDownTempo->hide();
        ui->TimeEditSc->hide();
        ui->ScTimeLabel->setText(QString());
        ui->TempoButton->SetCaption(kind == 2 ? "Tempo" : "Beat");
        ui->TempoButton->setEnabled(kind == 3);
        ui->SynchButton->SetDown(true);
        LastTriggerTime = 0;
        BeatTrigger.store(0);
        break;
    }
}

void TMainForm::CycleButtonClick()
{
    TransportCreate();
    SequenceRecord *seq = CurrentSequenceRecord();
    if (AskSeam(WindowSeams().multiSeqMenuChecked) || AccessLevel >= 2 || !seq) {
        ui->CycleButton->SetDown(seq && (seq->flags & SeqFlagCycle));
        return;
    }
    seq->flags ^= SeqFlagCycle;
    ui->CycleButton->SetDown(seq->flags & SeqFlagCycle);
}

void TMainForm::UseFadeClick()
{
    TransportCreate();
    SequenceRecord *seq = CurrentSequenceRecord();
    if (!HasCurrentScene() || AccessLevel >= 2) {
        ui->UseFade->SetDown(seq && (seq->flags & SeqFlagFade));
        return;
    }
    const bool on = ui->UseFade->Down();
    for (QWidget *w : {static_cast<QWidget *>(ui->FadeTime), static_cast<QWidget *>(ui->FadeButton),
                       static_cast<QWidget *>(ui->FadeTimeLabel), static_cast<QWidget *>(ui->ButtonNonSmooth)})
        w->setVisible(on);
    {
        HoldEngine hold;
        seq->flags = static_cast<std::uint8_t>(on ? (seq->flags | SeqFlagFade) : (seq->flags & ~SeqFlagFade));
    }
    if (on)
        ExtFadeSet(FadeModeOf(seq->modes));
}

void TMainForm::FadeButtonClick()
{
    TransportCreate();
    SequenceRecord *seq = CurrentSequenceRecord();
    if (!HasCurrentScene() || AccessLevel > 1)
        return;
    const int kind = NextFadeKind(FadeModeOf(seq->modes), StepModeOf(seq->modes));
    {
        EngineBusyGuard busy;
        seq->modes = WithFadeKind(seq->modes, kind);
    }
    ExtFadeSet(kind);
}

void TMainForm::ExtFadeSet(int kind)
{
    TransportCreate();
    SequenceRecord *seq = CurrentSequenceRecord();
    const SceneRecord *scene = CurrentSceneRecord();
    if (AskSeam(WindowSeams().multiSeqMenuChecked) || !seq || !scene)
        return;
    if (Playing.load()) {
        // The running fade ends on the next tick.
        EngineBusyGuard busy;
        FadeEnd = PlayClock + TickMs;
    }
    long shown;
    switch (kind) {
    case 0:
        shown = static_cast<long>(std::min<std::uint32_t>(seq->commonFade, 99990));
        ui->FadeTime->setEnabled(true);
        SetHint(ui->FadeButton, CommonFadeHint);
        break;
    case 1: {
        const int step = StepModeOf(seq->modes);
        shown = step == 0   ? static_cast<long>(60000 / UsableTempo(seq->tempo))
                : step == 1 ? static_cast<long>(std::min<std::uint32_t>(scene->sceneTime, 99990))
                            : 500;
        ui->FadeTime->setEnabled(false);
        SetHint(ui->FadeButton, SceneFadeHint);
        break;
    }
    default:
        shown = static_cast<long>(std::min<std::uint32_t>(scene->fadeTime, 99990));
        ui->FadeTime->setEnabled(true);
        SetHint(ui->FadeButton, TrackFadeHint);
        break;
    }
    ++showingValue_;
    ui->FadeTime->SetValue(shown);
    --showingValue_;
    ui->FadeButton->SetGlyph(FadeGlyph(std::clamp(kind, 0, 2)));
}

void TMainForm::FadeTimeChange()
{
    TransportCreate();
    if (showingValue_ > 0 || !ui->FadeTime->isVisibleTo(this) || AccessLevel >= 2)
        return;
    SequenceRecord *seq = CurrentSequenceRecord();
    SceneRecord *scene = CurrentSceneRecord();
    if (!seq)
        return;
    const auto value = static_cast<std::uint32_t>(std::max<long>(ui->FadeTime->GetValue(), 50));
    switch (FadeModeOf(seq->modes)) {
    case 0:
        seq->commonFade = value;
        break;
    case 2:
        if (!Playing.load() && scene) {
            scene->fadeTime = value;
            if (AskSeam(WindowSeams().graphEditOpen) && WindowSeams().graphEditRepaintColumn)
                WindowSeams().graphEditRepaintColumn(CurScene);
        }
        break;
    default:
        break;
    }
}

void TMainForm::TimeEditScChange()
{
    TransportCreate();
    if (showingValue_ > 0 || AccessLevel > 1 || Playing.load())
        return;
    SequenceRecord *seq = CurrentSequenceRecord();
    SceneRecord *scene = CurrentSceneRecord();
    if (!scene)
        return;
    const long value = std::max<long>(ui->TimeEditSc->GetValue(), 50);
    scene->sceneTime = static_cast<std::uint32_t>(value);
    if ((seq->flags & SeqFlagFade) && FadeModeOf(seq->modes) == 1) {
        ++showingValue_;
        ui->FadeTime->SetValue(value);
        --showingValue_;
    }
    if (StepModeOf(seq->modes) == 1 && AskSeam(WindowSeams().graphEditOpen) && WindowSeams().graphEditRepaintColumn)
        WindowSeams().graphEditRepaintColumn(CurScene);
}

// ---- black-out and favourite ------------------------------------------------------------

void TMainForm::ApplyBlackOutLevels()
{
    ::ApplyBlackOutLevels(IgnoreBlackOut != 0);
}

void TMainForm::BlackOut1Click()
{
    TransportCreate();
    if (CrossFading.load())
        WaitCrossFinal();
    if (ui->Favourite->Down()) {
        ui->Favourite->SetDown(false);
        FavouriteOn.store(0);
    }
    if (ui->BlackOut1->Down()) {
        ApplyBlackOutLevels();
        BlackOutOn.store(1);
    } else {
        BlackOutOn.store(0);
        CallSeam(WindowSeams().applyInputToMasters);
        SetDevicesAfterBlackOut();
    }
}

void TMainForm::BlackOutClick()
{
    TransportCreate();
    ui->BlackOut1->SetDown(!ui->BlackOut1->Down());
    BlackOut1Click();
}

void TMainForm::FavouriteClick()
{
    TransportCreate();
    if (CrossFading.load())
        WaitCrossFinal();
    if (ui->BlackOut1->Down()) {
        ui->BlackOut1->SetDown(false);
        BlackOutOn.store(0);
    }
    if (!ui->Favourite->Down()) {
        FavouriteOn.store(0);
        CallSeam(WindowSeams().applyInputToMasters);
        SetDevices();
        return;
    }
    const bool wasPlaying = Playing.load() != 0;
    if (wasPlaying) {
        StopClick(ui->Favourite);
        MakeCrossFadeFavorite();
    } else {
        FixturesToScene();
    }
    if (!FavouriteAssigned && SequenceCount > 0 && Sequences[0] && Sequences[0]->sceneCount > 0 &&
        Sequences[0]->scenes[0])
        std::copy(std::begin(Sequences[0]->scenes[0]->levels), std::end(Sequences[0]->scenes[0]->levels),
                  FavouriteLevels);
    if (!wasPlaying)
        ApplyFavouriteLevels(IgnoreBlackOut != 0);
    // Last: the GUI's channel setter ignores the fixtures while the favourite is on.
    FavouriteOn.store(1);
}

void TMainForm::FavourClick()
{
    TransportCreate();
    const bool down = !ui->Favourite->Down();
    ui->Favourite->SetDown(down);
    if (down && PlayListRunning.load())
        CallSeam(WindowSeams().playListStop);
    FavouriteClick();
}

void TMainForm::FavouriteMouseDown()
{
    TransportCreate();
    const SceneRecord *scene = CurrentSceneRecord();
    if (!scene)
        return;
    FavouriteAssigned = 1;
    ui->Favourite->SetColor(clLime);
    std::copy(std::begin(scene->levels), std::end(scene->levels), FavouriteLevels);
    char text[96];
    std::snprintf(text, sizeof text, "Now Assigned Scene N%d from Sequence N%d as Favourite", CurScene + 1,
                  CurSequence + 1);
    platform::MessageBox(AppCaption, text, platform::Buttons::Ok);
}

void TMainForm::DisaFavoriteClick()
{
    TransportCreate();
    ui->CrossFadeFavorite->setEnabled(!ui->DisaFavorite->Down());
}

void TMainForm::DisaSequenceClick()
{
    TransportCreate();
    ui->CrossFadeSeq->setEnabled(!ui->DisaSequence->Down());
}

// ---- cross-fades ------------------------------------------------------------------------

void TMainForm::MakeCrossFadeFavorite()
{
    TransportCreate();
    StartFavouriteCrossFade(CrossFadeDuration(ui->DisaFavorite->Down(), ui->CrossFadeFavorite->GetValue()));
}

void TMainForm::MakeCrossFadeSequence(int sequence, int scene)
{
    TransportCreate();
    StartSceneCrossFade(sequence, scene, CrossFadeDuration(ui->DisaSequence->Down(), ui->CrossFadeSeq->GetValue()));
}

void TMainForm::WaitCrossFinal()
{
    EndCrossFade();
}

// ---- other windows ----------------------------------------------------------------------

void TMainForm::SynchButtonMouseDown()
{
    SynchSetupClick();
}

void TMainForm::SynchSetupClick()
{
    TransportCreate();
    if (WindowSeams().showAudSynch)
        WindowSeams().showAudSynch("Synch and Hardware");
}

void TMainForm::GOClick()
{
    CallSeam(WindowSeams().playListGo);
}

// ---- fixtures to the output -------------------------------------------------------------

void TMainForm::SetDevicesWith(bool linked)
{
    const std::function<void(int, int)> &repaint = WindowSeams().repaintFixtureChannel;
    SelectingFixture = 1;   // repaints must not change the selection
    SendFixtureValues(linked, [&repaint](int fixture, int channel) {
        if (repaint)
            repaint(fixture, channel);
    });
    SelectingFixture = 0;
    const int selected = SelectedFixture;
    SelectedFixture = -1;
    Select(selected);
}

void TMainForm::SetDevices()
{
    SetDevicesWith(!Playing.load());
}

void TMainForm::SetDevicesAfterBlackOut()
{
    SetDevicesWith(true);
}

void TMainForm::EditedSceneToOutput()
{
    if (Playing.load())
        return;
    // Selecting the fixture again must leave the editor's view of it as it was.
    const int chosen = ChosenChannel;
    const int selection[] = {SelFirstScene, SelLastScene, SelFirstChannel, SelLastChannel};
    const std::uint8_t selected = SelectionValid;
    SetDevices();
    ChosenChannel = chosen;
    SelFirstScene = selection[0];
    SelLastScene = selection[1];
    SelFirstChannel = selection[2];
    SelLastChannel = selection[3];
    SelectionValid = selected;
}

// ---- display timer ----------------------------------------------------------------------

void TMainForm::ShowSceneOnDisplay(int sceneIndex)
{
    SequenceRecord *seq = CurrentSequenceRecord();
    const SceneRecord *scene = CurrentSceneRecord();
    if (!seq || !scene)
        return;
    ++showingValue_;
    const bool fades = seq->flags & SeqFlagFade;
    if (StepModeOf(seq->modes) == 1) {
        ui->TimeEditSc->SetValue(static_cast<long>(std::min<std::uint32_t>(scene->sceneTime, 99990)));
        if (FadeModeOf(seq->modes) == 1)
            ui->FadeTime->SetValue(static_cast<long>(std::min<std::uint32_t>(scene->sceneTime, 99990)));
    }
    if (fades && FadeModeOf(seq->modes) == 2)
        ui->FadeTime->SetValue(static_cast<long>(std::min<std::uint32_t>(scene->fadeTime, 99990)));
    --showingValue_;
    ShowNumber(NamedWidget(this, "SceneNum"), sceneIndex + 1);
    ShowNumber(NamedWidget(this, "SliderScene"), sceneIndex);
    ShowText(NamedWidget(this, "Scene"), SceneNameText(*scene));
    CallSeam(WindowSeams().graphEditMarker);
}

void TMainForm::TimerFonPlayTimer()
{
    TransportCreate();
    ui->Label1->setText(QString::number(2 * TickDuration.load()));
    if (PlayInBackground.load()) {
        BlinkPhase = BlinkPhase ? 0 : 1;
        ui->Play->SetGlyph(PlayGlyph(BlinkPhase != 0));
        return;
    }
    ui->Time->setText(QString::fromStdString(FormatPlayClock(PlayClock)));
    if (EngineBusy.load() || MultiSeqRunning.load())
        return;

    if (SceneChanged.load()) {
        if (PlaySequence != CurSequence) {
            if (WindowSeams().sequenceChange)
                WindowSeams().sequenceChange(PlaySequence);
            else
                CurSequence = PlaySequence;
        }
        if (PlayScene < 0)
            return;   // the flag stays set until a scene plays
        CurScene = PlayScene;
        ShowSceneOnDisplay(PlayScene);
        SceneChanged.store(0);
    }

    if (OutputChanged.load() && !AskSeam(WindowSeams().graphEditOpen)) {
        CopyOutputLevelsToFixtures();
        OutputChanged.store(0);
    }
}
