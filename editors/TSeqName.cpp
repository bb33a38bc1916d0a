#include "TSeqName.h"
#include "ui_SeqName.h"

#include "MainForm.h"
#include "OwnedHooks.h"
#include "TMakeScenes.h"
#include "TPMScene.h"
#include "TPosMem.h"
#include "TSeqStCopF.h"
#include "WindowSeams.h"

#include "platform/DialogStacking.h"
#include "platform/MsgBox.h"

#include <QAction>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>

namespace {
constexpr std::size_t MaxNameBytes = 253;
}

TSeqName::TSeqName(const std::string &label, const std::string &text, bool firstSceneChoice, int choice,
                   QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint), ui(new Ui::TSeqName)
{
    ui->setupUi(this);
    ui->Label1->setText(platform::FromBytes(label));
    ui->Edit1->setText(platform::FromBytes(text));
    ui->Edit1->selectAll();
    inherited_ = choice == 3;
    const bool inherited = inherited_;
    ui->Inherited->setVisible(inherited);
    (inherited ? ui->Inherited : ui->Default)->setChecked(true);
    ui->RadioGroup1->setVisible(firstSceneChoice);
    if (!firstSceneChoice)
        ui->OK->move(ui->OK->x(), ui->RadioGroup1->y());
    setFixedSize(width(), ui->OK->geometry().bottom() + 12);

    // The hidden "Help" menu: its key opens the help contents.
    auto *menu = new QMenuBar(this);
    menu->setObjectName(QStringLiteral("MainMenu1"));
    QAction *help = menu->addAction(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("Help1"));
    help->setShortcut(QKeySequence::HelpContents);
    addAction(help);
    menu->hide();
    connect(help, &QAction::triggered, this, [] {
        if (MainForm)
            MainForm->HelpContents();
    });

    connect(ui->OK, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->Edit1, &QLineEdit::returnPressed, this, &QDialog::accept);
}

TSeqName::~TSeqName()
{
    delete ui;
}

std::string TSeqName::NameBytes() const
{
    std::string bytes = platform::ToBytes(ui->Edit1->text());
    if (bytes.size() > MaxNameBytes)
        bytes.resize(MaxNameBytes);
    return bytes;
}

int TSeqName::Choice() const
{
    if (inherited_ && ui->Inherited->isChecked())
        return 3;
    return ui->Zero->isChecked() ? 2 : 1;
}

namespace {

// Places a dialog with its top-left corner at (x, y), kept inside the screen there.
void PlaceOnScreen(QWidget &w, int x, int y)
{
    QScreen *screen = QGuiApplication::screenAt(QPoint(x, y));
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen) {
        w.move(x, y);
        return;
    }
    const QRect area = screen->availableGeometry();
    const QSize size = w.frameSize().isValid() ? w.frameSize().expandedTo(w.size()) : w.size();
    x = std::max(area.left(), std::min(x, area.right() + 1 - size.width()));
    y = std::max(area.top(), std::min(y, area.bottom() + 1 - size.height()));
    w.move(x, y);
}

} // namespace

// The dialogs belong to the window that asks for them (the cue list and the groups window
// name their entries through the same dialog as the main window).
void InstallSequenceDialogHooks(const void *owner)
{
    WindowSeamTable &seams = WindowSeams();
    InstallHook(owner, seams.seqNameDialog,
                [](const std::string &label, std::string &text, bool firstSceneChoice, int &choice) {
                    TSeqName dialog(label, text, firstSceneChoice, choice, platform::DialogParent());
                    if (platform::RunModalDialog(dialog) != QDialog::Accepted)
                        return false;
                    text = dialog.NameBytes();
                    if (firstSceneChoice)
                        choice = dialog.Choice();
                    return true;
                });
    InstallHook(owner, seams.makeScenesDialog, [](int &count) {
        TMakeScenes dialog(platform::DialogParent());
        if (platform::RunModalDialog(dialog) != QDialog::Accepted)
            return false;
        count = dialog.SceneCount();
        return true;
    });
    InstallHook(owner, seams.seqStCopChoose, [](int mode, int x, int y, int &first, int &last) {
        TSeqStCopF dialog(mode, platform::DialogParent());
        PlaceOnScreen(dialog, x, y);
        if (platform::RunModalDialog(dialog) != QDialog::Accepted)
            return false;
        first = dialog.First();
        last = dialog.Last();
        return true;
    });
    InstallHook(owner, seams.posMemShow, [] {
        TPosMem dialog(platform::DialogParent());
        platform::RunModalDialog(dialog);
    });
    InstallHook(owner, seams.pmSceneChoose, [](int initial) {
        TPMScene dialog(initial, platform::DialogParent());
        if (platform::RunModalDialog(dialog) != QDialog::Accepted)
            return -1;
        return dialog.Number();
    });
    CallSeam(seams.positionMenuUpdate);
}
