#include "TAccessF.h"
#include "ui_AccessF.h"

#include "AccessLock.h"
#include "AccessRecordStore.h"
#include "InterfaceBinding.h"
#include "LevelPipeline.h"
#include "StartupState.h"

#include "controls/SpeedButton.h"

#include "platform/MsgBox.h"
#include "platform/Settings.h"

#include <QLineEdit>
#include <QValidator>

#include <algorithm>
#include <iterator>

namespace {

constexpr int NarrowWidth = 100;

// Accepts only characters that are one byte of 32..255 and come back unchanged, so that
// the edit's character limit is the password's byte limit.
class PasswordValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        for (QChar c : input) {
            const std::string b = platform::ToBytes(QString(c));
            if (b.size() != 1 || static_cast<unsigned char>(b[0]) < 32 || platform::FromBytes(b) != QString(c))
                return Invalid;
        }
        return Acceptable;
    }
};

// Passwords are compared in lower case: both edits lower-case what is typed.
void LowerCaseAsTyped(QLineEdit *edit)
{
    const QString lower = edit->text().toLower();
    if (lower == edit->text())
        return;
    const int cursor = edit->cursorPosition();
    edit->setText(lower);
    edit->setCursorPosition(cursor);
}

} // namespace

TAccessF::TAccessF(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), ui(new Ui::TAccessF)
{
    ui->setupUi(this);
    setProperty("HelpContext", 1501);
    ui->Session->setText(platform::DisplayText("Apply for the\r\ncurrent session"));
    for (QLineEdit *e : {ui->Edit1, ui->Edit2}) {
        e->setValidator(new PasswordValidator(e));
        e->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));   // '*'
    }

    SpeedButton1 = new TSpeedButton(this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->SetCaption("*");
    SpeedButton1->setToolTip(QStringLiteral("Hide the passwords"));
    SpeedButton1->SetGroupIndex(1);
    SpeedButton1->SetAllowAllUp(true);
    SpeedButton1->SetDown(true);
    SpeedButton1->setGeometry(70, 24, 22, 22);

    connect(ui->Edit1, &QLineEdit::textEdited, this, [this] {
        LowerCaseAsTyped(ui->Edit1);
        Edit1Change();
    });
    connect(ui->Edit2, &QLineEdit::textEdited, this, [this] { LowerCaseAsTyped(ui->Edit2); });
    connect(ui->Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(ui->Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(SpeedButton1, &TSpeedButton::OnClick, this, [this] { SpeedButton1Click(); });

    setFixedSize(NarrowWidth, height());
    FormCreate();
}

TAccessF::~TAccessF()
{
    delete ui;
}

int TAccessF::ChosenLevelIndex() const
{
    if (ui->Level1->isChecked())
        return 0;
    if (ui->Level3->isChecked())
        return 2;
    return 1;
}

void TAccessF::FormCreate()
{
    changeMode_ = false;
    const bool unlocked = AccessLevel == 0;
    ui->Button3->setEnabled(unlocked);
    ui->Edit2->setEnabled(unlocked);
    ui->RadioGroup1->setEnabled(unlocked);
    if (unlocked) {
        ui->Edit1->setEnabled(false);
        ui->Edit1->hide();
        ui->Label1->hide();
        Button3Click();
        ui->Button3->hide();
    }
}

void TAccessF::Edit1Change()
{
    // A damaged record's password is unknown: nothing typed matches it.
    const bool right = !AccessRecordDamaged &&
                       platform::ToBytes(ui->Edit1->text()) == UnscrambleText(StoredPassword(AccessRecord));
    ui->Button3->setEnabled(right);
    ui->Edit2->setEnabled(right);
    ui->RadioGroup1->setEnabled(right);
    if (right)
        ui->Edit1->setEnabled(false);
}

void TAccessF::Button3Click()
{
    setFixedWidth(ChangeModeWidth);
    changeMode_ = true;
}

void TAccessF::SpeedButton1Click()
{
    const QLineEdit::EchoMode echo = SpeedButton1->Down() ? QLineEdit::Password : QLineEdit::Normal;
    ui->Edit1->setEchoMode(echo);
    ui->Edit2->setEchoMode(echo);
}

void TAccessF::Button1Click()
{
    // The right password (or no lock): unlocked until the program ends, the hardware
    // opened again when it is closed.
    if (ui->Button3->isEnabled()) {
        AccessLevel = 0;
        if (DeviceState < 0) {
            OpenInterface(InterfaceKind, false);
            ReadHardwareRevision(HardwareRevision);
        }
    }
    if (changeMode_) {
        const std::string password = platform::ToBytes(ui->Edit2->text()).substr(0, MaxPasswordBytes);
        const int level = password.empty() ? 0 : ChosenLevelIndex() + 1;
        const AccessRecordBytes record = MakeAccessRecord(level, password);
        platform::Settings reg;
        reg.WriteBinary(MainWindowKey, AccessRecordValue, std::vector<std::uint8_t>(record.begin(), record.end()));
        reg.Flush();
        std::copy(record.begin(), record.end(), std::begin(AccessRecord));
        // Without the session box the stored level applies from the next start.
        if (!ui->Session->isChecked())
            AccessLevel = 0;
    }
    accept();
}
