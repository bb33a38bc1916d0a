// The main window: start-up, shut-down and the commands of the main menu.
#pragma once

#include <QImage>
#include <QMainWindow>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Ui {
class TMainForm;
}
class QAction;
class QCloseEvent;
// Transport (MainFormTransport.cpp).
class QLineEdit;
class QMenu;
class QSpinBox;
class QTimer;
class TSpeedButton;
// Fixture area (MainFormFixtures.cpp).
class QFrame;
class QRect;
class QLabel;
class QPainter;
class QPushButton;
class QSplitter;
class QSplitterHandle;
class QScrollArea;
class QTableWidget;
class TTracker;
struct HotKeyItem;

class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    // Runs FormCreate. `args` are the command-line arguments that Qt did not consume.
    explicit TMainForm(const std::vector<std::string> &args = {}, QWidget *parent = nullptr);
    ~TMainForm() override;   // runs FormDestroy

    Ui::TMainForm *ui;

    // Start-up and shut-down.
    void FormCreate();
    void FormActivate();
    void FormDeactivate();
    bool FormClose();        // false when the close was refused
    void FormDestroy();

    // Commands.
    void FullScreenClick();
    void FileExit();
    void HelpContents();
    void HelpSearch();
    void HelpHowToUse();
    void HelpAbout();
    void EmulatorClick();
    void EmulatorOff();   // unchecks the item and the button and closes the visualiser
    void EnaDMXoutClick();
    void EnaDMXinClick();
    void DeviceChange(unsigned event);
    void File1Click(int index);

    // Show commands (the show file behind them comes with the show reader and writer).
    void FileNew();
    void FileOpen();
    void FileSave();
    void FileSaveAs();
    // "The Show was modified. Save file ?": false when cancelled.
    bool AskSaveModifiedShow();
    // Opens the show file `path` named in advance (command line, recent shows, start
    // dialog); ShowFileName changes only when it was read. True when it was read.
    bool OpenNamedShow(const std::string &path);

    // Recent shows of the settings store shown as the items File1..File5.
    void ShowRecentFiles();
    void AddRecentFile(const std::string &path);
    void InstallShowFileHooks();
    // The patch window (new show, "DMX channels"): fixture windows released, the window
    // shown modally, then the panels built again and the fixture area refreshed.
    void RunPatchWindow();
    // Keeps the window's place between runs.
    class TRegForm *RegForm1 = nullptr;

    // Widths kept in the settings store.
    int MasterPanelWidth() const;
    int SliderPanelWidth() const;
    int SceneGroupWidth() const;
    void SetMasterPanelWidth(int w);
    void SetSliderPanelWidth(int w);
    void SetSceneGroupWidth(int w);
    bool TransportOnBottom() const { return transportOnBottom_; }
    void SetTransportOnBottom(bool bottom);
    bool IsFullScreenMode() const;

    const QImage &PlanBitmap() const { return planBitmap_; }
    std::string OpenDialogFilter;
    std::string SaveDialogFilter;
    // Brings the window in front (another start asked for it).
    void RaiseFromOtherInstance();

    // ---- Transport and play controls (MainFormTransport.cpp) ----
public:
    // Wires the transport bar, the "Operation" menu and the display timer; creates the
    // hidden tempo twins of the multi-sequence panel. Runs once; handlers call it too.
    void TransportCreate();
    void Play1Click();
    void PlayClick();
    void StopClick(QObject *sender = nullptr);
    void PlayMouseDown();
    void PlayPopupPopup();
    void PlayBackClick();
    void TempoButtonClick();
    void TempoClick1Click();
    void ManualForwardClick();
    void TempoChange();
    void TempoExit();
    void SynchButtonClick();
    void SynchButtonMouseDown();
    void SynchSetupClick();
    void CycleButtonClick();
    void UseFadeClick();
    void FadeButtonClick();
    void FadeTimeChange();
    void TimeEditScChange();
    void BlackOut1Click();
    void BlackOutClick();
    void FavouriteClick();
    void FavourClick();
    void FavouriteMouseDown();
    void DisaFavoriteClick();
    void DisaSequenceClick();
    void GOClick();
    void TimerFonPlayTimer();
    // Helpers other commands call.
    void ExtSynchSet(int kind);
    void ExtFadeSet(int kind);
    void MakeCrossFadeFavorite();
    void MakeCrossFadeSequence(int sequence, int scene);
    void WaitCrossFinal();
    void ApplyBlackOutLevels();
    void SetDevices();
    void SetDevicesAfterBlackOut();
    // The sequence editors' one way to the stage after they changed the current scene
    // (the fixtures already hold it): while nothing plays, the output takes the fixtures'
    // values at once, as after a scene change; the values/time editor keeps its block
    // selection and chosen channel. While playing the engine owns the output.
    void EditedSceneToOutput();
    // Selects a fixture and shows its panel (MainFormFixtures.cpp).
    void Select(int fixture);

    QTimer *TimerFonPlay = nullptr;
    QMenu *PlayPopup = nullptr;
    QSpinBox *DUpDownTempo = nullptr;   // on the docked multi-sequence panel
    QLineEdit *DTempo = nullptr;
    QLineEdit *Tempo = nullptr;          // the edit of UpDownTempo
    TSpeedButton *DTempoButton = nullptr;
    std::int32_t TapTime = 0;
    std::int32_t TapInterval = 0;
    std::uint8_t BlinkPhase = 0;

private:
    void SetEditingControlsEnabled(bool enabled);
    void SetPlayMenusEnabled(bool enabled);
    void SetDevicesWith(bool linked);
    void ShowSceneOnDisplay(int scene);
    bool transportCreated_ = false;
    int showingValue_ = 0;               // >0 while the GUI itself writes the time edits
    // ---- end of transport ----

    // ---- Sequence and scene editing (MainFormEditing.cpp) ----
public:
    // Called by the messages, the fixture area and the joystick as well.
    void SequenceChange();                 // the Sequence box's index became current
    void SceneNumKeyPress(int key);        // Qt key code; acts on Enter/Return only
    void NextClick();                      // the NextScene button
    void PrevClick();                      // the PrevScene button
    void NextSceneClick();
    void PrevSceneClick();
    void RefreshClick();
    // Wires the sequence and scene controls and menus. Runs once; handlers call it too.
    void EditingCreate();
    // After a show was created or opened: the box gets the show's sequences, the first
    // is selected, the show name is shown.
    void FillSequenceBox();
    // Makes `index` the current sequence through the box (hot sequences, messages).
    void SelectSequence(int index);
    void NewSeqClick();
    // The new-sequence command; without `offerFirstScene` its name dialog offers no
    // choice of the first scene (the default one is made).
    void NewSequence(bool offerFirstScene);
    void DelSeqClick();
    void SplitSequence1Click();
    void MergeSequences1Click();
    void RenameSeqClick();
    void SeqNumMouseUp(Qt::MouseButton button);
    void S0Click(int tag);
    void NewSceneClick();
    void NewSceneMouseDown();
    void DeleteButtonClick();
    void SliderSceneChange();
    void SceneChange();
    void RenameScene2Click();
    void CopyButtonClick();
    void InsertButtonClick();
    void ReplaceButtonClick();
    void ShowChange();
    void SeqListClick();
    // A cell of the sequence list makes `index` current (the list itself needs no refresh).
    void SelectSequenceFromList(int index);

private:
    enum class ChangeSource { Program, Box, SequenceList };
    void SequenceChangeFrom(ChangeSource source);
    void SequenceChangeWhilePlaying(int index);
    void ShowSequenceSettings();
    void ShowCurrentScene();
    void SetSceneControlsVisible(bool visible);
    void SetSequenceControlsVisible(bool visible);
    void StepToScene(int scene, bool setDevices);
    void StepSceneWrapped(bool forward, bool fromButton);
    // A new scene after the current one, filled by `fill`; `limitText` answers a full
    // sequence. True when made.
    bool AddSceneAfterCurrent(const char *limitText, const std::function<void(struct SceneRecord &)> &fill);
    bool editingCreated_ = false;
    int newSceneChoice_ = 0;     // first-scene choice of the sequence being made, 0 none
public:
    // ---- end of editing ----

    // ---- Engine and application messages (MainFormMessages.cpp) ----
public:
    // Wires the tool-window items and buttons, the bump items, the popups and the
    // auto-backup timer. Runs once.
    void MessagesCreate();
    // The message window's procedure.
    std::intptr_t AppMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam);
    // What the message window does for each code.
    struct EngineMessageActions EngineMessageHandlers();
    void USBCorrect();
    // Shows the access level on the lock button.
    void ShowAccessLevel();
    void AccessClick();
    void BackupTimerTimer();
    // The application's event filter: a released bump key releases its master's bump.
    bool ApplicationEvents1Message(QEvent *event);
    // The application's event filter for the menu commands' keys pressed in any window.
    bool SharedShortcutEvent(QObject *receiver, QEvent *event);
    void PMst1Click(int tag);
    // Shortcuts of the bump items from the masters' hot keys.
    void UpdateBumpShortcuts();
    // Hot keys: the commands in menu order, their shortcuts applied, the key file.
    std::vector<HotKeyItem> HotKeyItems();
    void ApplyHotKeys(const std::vector<HotKeyItem> &items);
    bool SaveHotKeys();
    void LoadHotKeys();
    void RunHotKeyForm();
    // Every command's shortcut acts in whichever of the program's windows has the keyboard.
    void ShareShortcuts();
    // The window's messages: device notices go to DeviceChange.
    void Dispatch(unsigned msg, unsigned wParam);
    // Window toggles.
    void PhisicalMasterClick();
    void MultiSeqPlayerClick();
    void MusPlayClick();
    void PlayList1Click();
    void CueListMClick();
    void Cue1Click(int tag);
    void GroupsClick();
    void RecordClick();
    void HotKeys1Click();
    void DebugButtonClick();
    void GraphEdClick();
    void Monitor1Click();
    void Sliders1Click();
    void Plan1Click();
    void EmulatorMouseDown();
    // Enables the items and buttons whose windows exist.
    void UpdateToolWindowItems();
    // Checks or unchecks a window's item and presses or raises its button.
    void SetToolState(const char *action, const char *button, bool on);
    // Shows the application's current long hint on the black-out button.
    void ShHint(const QString &hint);
    // Registers the tool windows made at start-up.
    static void RegisterStartupToolWindows();

    QTimer *BackupTimer = nullptr;
    QMenu *WhatCanShow = nullptr;
    QMenu *WhatCanSeq = nullptr;
    QMenu *PhysicalMasterControl = nullptr;
    QAction *PhysicalMasterBump[17] = {};

private:
    QAction *MessagesAction(const char *name) const;
    QWidget *MessagesWidget(const char *name) const;
    void FillPopupFrom(QMenu *popup, const QString &menuTitle);
    void ToggleToolWindow(const char *window, const char *action, const char *button, bool byVisibility);
    void ShowCueList(bool on);
    void SetSingleSequenceAreaShown(bool shown);
    bool messagesCreated_ = false;
    int multiSeqSavedSequence_ = -1;
    // ---- end of messages ----

    // ---- Fixture area (MainFormFixtures.cpp) ----
public:
    // Builds the pages, the channel tracks, the editors, the menu wiring, the joystick
    // timer and the panel hooks. Runs once at start-up.
    void FixtureAreaCreate();
    void DevT1Click(int fixture, int kind);
    // No selection, then fixture 0 selected when there is one (after a new patch).
    void SelectFirstFixture();
    void LeftPageControlChange(int page);
    void Mean1Change();
    void MasterOffClick();
    void ManualOffClick();
    void FullMaster1Click();
    void ColorOnly1Click();
    void ExPanTilt1Click();
    void PanTiltOnly1Click();
    void UserRedMaster1Click();
    void MasterGroupOff1Click();
    void MasterClick(int mode);
    void SoloClick();
    void UnlockIconsClick();
    void DeviceOffClick();
    void CopyStScClick();
    void PasteStScClick();
    void CopyStSeqClick();
    void PasteStSeqClick();
    void JoystickClick();
    void JoyTimerTimer();
    void ButtonNonSmoothClick();
    void OnTrackEditClick();
    void SpeedButton10Click();
    void DeviceMenuPopup();
    void OnTopClick();
    void OnBottomClick();
    void Splitter1Moved();
    void DrawGridMasterSelectCell(int column);
    void RedMasterApplyClick();
    void RedMasterApplyKeyDown(int key);
    void CreatePosMemClick();
    void EditPosMemClick();
    void RemPosMemClick();
    void AssPosRefClick();
    void RemPosRefClick();
    void ChangePosRefClick();
    void MenuPosMemUpdate();
    // The scene's "PM n" label: the current scene's position reference, or nothing.
    void ShowPositionLabel();
    void WhatCanScenePopup();
    // Painting and cell handling.
    void PaintPanelLeftPaint(QPainter &p);
    void PaintPanelLeftMouseDown(int x, int y, Qt::MouseButton button, Qt::KeyboardModifiers mods);
    void DrawDevSelectCell(int row, Qt::MouseButton button, Qt::KeyboardModifiers mods);
    void DrawDev();
    void DrawGridMaster();
    void PaintDev(int fixture);
    void PaintEd(int fixture, int channel);
    void TrackPaint(int channel);
    // Shows the User Red Master frame for `fixture` at a point of the fixture area.
    void ShowUserRedMaster(int fixture, const QPoint &at);
    // The menus' visibility and checks from the channel states.
    void UpdateFixtureMenus();
    // Monitor geometry.
    static constexpr int MonitorCellWidth = 29;
    static constexpr int MonitorCellHeight = 28;
    static constexpr int MonitorHeaderHeight = 13;

    QWidget *PaintPanelLeft = nullptr;      // the Monitor grid
    QSpinBox *Mean1 = nullptr;              // in-place channel editor with its up-down
    QTableWidget *DrawDevGrid = nullptr;    // the Sliders page fixture list
    QWidget *TrackArea = nullptr;
    QSplitterHandle *Splitter1 = nullptr;   // the work splitter's handle beside the slider panel
    std::vector<TTracker *> Tracks;         // 32 channel tracks
    std::vector<QLabel *> TrackLabels;
    QFrame *UserRedMaster = nullptr;
    QTableWidget *DrawGridMasterGrid = nullptr;
    QPushButton *RedMasterApply = nullptr;
    QMenu *DeviceMenu = nullptr;
    QTimer *JoyTimer = nullptr;
    TSpeedButton *SpeedButton3 = nullptr, *SpeedButton4 = nullptr, *SpeedButton6 = nullptr,
                 *SpeedButton10 = nullptr;
    QLabel *FixtureTitle = nullptr;
    QScrollArea *MasterScroll = nullptr;    // the selected fixture's panel, scrolled when larger

    // Selects `fixture` again as a new selection: its panel is shown and set from its values.
    void Reselect(int fixture);

private:
    void SelectPanel(int old, int fixture);
    void SetFixtureTitle();
    void InstallFixtureWindowHooks();
    void LabelTracks(int fixture);
    void SoloIconsVisible(bool visible);
    bool fixtureAreaCreated_ = false;
    int userRedFixture_ = -1;
    int labelledType_ = -2;
    // ---- end of fixture area ----

    // ---- Window layout (MainFormLayout.cpp) ----
public:
    // The transport bar wraps its controls into rows; the work area's panels sit in a
    // splitter whose widths the settings keep; top-level windows open inside the screen.
    // Runs once, from the constructor.
    void LayoutCreate();
    // Shrinks the window to the screen's available area and moves it inside.
    void FitToScreen();
    QSplitter *WorkSplitter = nullptr;

private:
    int SplitWidth(const QWidget *panel) const;
    void SetSplitWidth(QWidget *panel, int width);
    void ApplySplitWidths();
    void KeepSplitWidths();
    // The slider panel shown beside the Sliders page and folded away on the other pages;
    // on that page it widens into room the fixture list does not need so that the
    // selected fixture's tracks are not cut.
    void ShowSliderPanel(bool shown);
    void FitSliderPanel();
    int TracksWidth() const;
    int FixtureListWidth() const;
    // ---- end of window layout ----

    // ---- Sequence and scene files, show preview (MainFormSequenceFile.cpp) ----
public:
    // Wires the file items of the Sequences and Scenes menus. Runs once.
    void SequenceFilesCreate();
    void LoadSeqClick();
    void SaveSeqClick();
    void LoadSceneClick();
    void SaveSceneClick();
    void CopySequenceClick();
    void InsertSequenceClick();
    // The show-open dialog's preview of the file under the cursor, and its close.
    void OpenDialogPreview(class TKpOpenPreviewDialog *dialog, const std::string &extension);
    void OpenDialogClose();
    // The show to open, chosen in the show-open dialog with its preview.
    std::optional<std::string> ChooseShowToOpen();
    void SetUpShowOpenDialog(class TKpOpenPreviewDialog &dialog);
    // After a new or opened show: file items enabled, plan pages from the fixtures.
    void ShowFileChanged(bool opened);

private:
    void LoadSequenceFrom(const std::string &path);
    void UpdateSceneFileItems();
    bool sequenceFilesCreated_ = false;
    // ---- end of sequence and scene files ----

    // ---- Stage plan (MainFormPlan.cpp) ----
public:
    // Makes the page column, the plan pop-up and the selection frames. Runs once.
    void PlanCreate();
    void EditPlan1Click();
    void WallImagePaint(QPainter &p);
    void PlanResize();
    void WallImageMouseDown(const QPoint &at, Qt::MouseButton button, Qt::KeyboardModifiers mods);
    void WallImageMouseMove(const QPoint &at, Qt::MouseButtons buttons);
    void WallImageMouseUp(const QPoint &at, Qt::MouseButton button);
    void Image8MouseDown(int fixture, const QPoint &at, Qt::MouseButton button, Qt::KeyboardModifiers mods);
    void Image8MouseMove(int fixture, const QPoint &at);
    void Image8MouseUp(int fixture, Qt::MouseButton button);
    void Image8MouseDblClick(int fixture);
    void LabsMouseDown(int fixture, Qt::MouseButton button, Qt::KeyboardModifiers mods);
    void MultiPagePlanClick();
    void AddPlanPageClick();
    void RemovePlanPageClick();
    void MultiPlansSelectCell(int row);
    void PlaceOnPageClick();
    // Redraws a fixture's plan icon from its panel's picture turned by `orientation`.
    void ApplyIconOrientation(int fixture, int orientation);
    // Creates and frees a fixture's plan icon and label (the patch loader's hooks).
    void CreatePlanWidgets(int fixture, int sharesWith);
    void FreePlanWidgets(int fixture);
    // Loads a plan picture from `path`; false (picture unchanged) when it does not decode.
    bool LoadPlanBitmap(const std::string &path);
    // Multi-page on with `rows` pages shown from page 0, or off (rows 0).
    void SetPlanPages(int rows);
    // Colours a fixture's plan label like its header on the Monitor page.
    void PaintPlanLabel(int fixture);
    // Places the selection frames around the selected fixture's icon and label.
    void PlaceSelectionFrames();

    QTableWidget *MultiPlans = nullptr;
    QMenu *PlanPopup = nullptr;
    QAction *EditPlan1 = nullptr, *MultiPagePlan = nullptr, *AddPlanPage = nullptr, *RemovePlanPage = nullptr,
            *PlaceOnPage = nullptr;
    QFrame *BackDeviceIcon = nullptr, *BackDeviceLab = nullptr;
    std::uint8_t DraggingIcon = 0;
    int DraggedIcon = -1;
    int PlanDragMode = 0;                // 0 scroll, 1 rectangle for linking, 2 rectangle for manual
    std::uint8_t PlacingOnPage = 0;
    QRect PlanRectangle() const;         // the rectangle being drawn, normalised

private:
    int PlanPageShown() const;
    void ShowPlanPage(int page);
    bool planCreated_ = false;
    bool rectangleShown_ = false;
    QPoint dragGrab_, rectAnchor_, rectCorner_, scrollFrom_;
    // ---- end of stage plan ----

protected:
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;

private:
    // Steps of FormCreate.
    bool StartEngineTimer();
    bool CheckSingleInstance();
    void CheckScreenSize();
    void CreateChannelFaders();
    void SetDialogFilters();
    void ReadLayoutSettings();
    void LoadAccessLevel();
    void LoadDeviceProfiles();
    void ReadConfiguration();
    void OpenInterfaceAtStart();
    void PickJoystick();
    void LoadStagePlan();
    void OpenFirstShow();
    bool RunStartDialog();
    void FinishStart();
    void ApplyLayoutSettings();
    void CreateMessageWindow();
    // Steps of FormClose.
    void CloseToolWindows();
    void StopPlayback();
    void CloseInterfaceAtClose();
    void WriteConfiguration();
    void WriteLayoutSettings();

    // Show commands (MainFormFile.cpp).
    int StopPlayForShowChange();
    void SwitchOffShowWindows(bool multiSequencePlayer);
    std::string namedShow_;
    bool showRead_ = false;   // the last Open read its file

    std::vector<std::string> args_;
    QImage planBitmap_;
    int planAreaWidth_ = 0, planAreaHeight_ = 0;
    bool transportOnBottom_ = false;
    bool switchingFullScreen_ = false;
    bool destroyed_ = false;
    QSize normalSize_;
};

extern TMainForm *MainForm;

// Opens the program's help pages (the main window's Help items, the profile editor's F1).
void OpenHelp();
