// The main window: start-up, shut-down and the commands of the main menu.
#pragma once

#include <QImage>
#include <QMainWindow>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Ui {
class TMainForm;
}
class QAction;
class QCloseEvent;

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

    // Recent shows of the settings store shown as the items File1..File5.
    void ShowRecentFiles();
    void AddRecentFile(const std::string &path);
    void InstallShowFileHooks();

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
    void ClearLinkedChannels();
    void CreateMessageWindow();
    // Steps of FormClose.
    void CloseToolWindows();
    void StopPlayback();
    void CloseInterfaceAtClose();
    void WriteConfiguration();
    void WriteLayoutSettings();

    std::vector<std::string> args_;
    QImage planBitmap_;
    int planAreaWidth_ = 0, planAreaHeight_ = 0;
    bool transportOnBottom_ = false;
    bool switchingFullScreen_ = false;
    bool destroyed_ = false;
    QSize normalSize_;
};

extern TMainForm *MainForm;
