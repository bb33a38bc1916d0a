// The About window: the program's name and version (with the interface's revision when
// one answered), a comment whose hint changes as it is clicked, a web and a mail link,
// and two hidden pictures shown while Shift or Ctrl is held on the logo.
#pragma once

#include <QDialog>

#include <cstdint>
#include <string>

namespace Ui {
class TAboutBox;
}

class TAboutBox : public QDialog {
    Q_OBJECT

public:
    explicit TAboutBox(QWidget *parent = nullptr);
    ~TAboutBox() override;

    Ui::TAboutBox *ui;

    static constexpr const char *WebAddress = "https://www.brantoval.example/";
    static constexpr const char *MailAddress = "mailto:support@brantoval.example";
    static constexpr const char *CommentHint = "Thank you for lighting your stage with Brantoval 1024.";

    // Sets the texts (run when the window is shown).
    void FormShow();
    // The version text for an interface revision ("d.d" and a NUL, all zero when none).
    static std::string VersionText(const std::uint8_t revision[4]);
    // The hint the comment gets after its counter stepped to `count` (0..2).
    static std::string CommentHintFor(int count);
    void CommentsClick();
    void Label2Click();
    void Label1Click();
    void Image1MouseDown(Qt::KeyboardModifiers mods);
    void Image1MouseUp();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    int commentClicks_ = 0;
};
