// An open-file dialog with a preview pane to the right of its file list. For each
// selected file whose extension is listed in CustomPreviewExtensions it calls OnPreview,
// whose handler fills the pane with a picture (FPreviewImage) or text (FPreviewText).
#pragma once

#include <QFileDialog>
#include <QStringList>

#include <functional>
#include <optional>
#include <string>

class QFrame;
class QLabel;
class QTextEdit;

class TKpOpenPreviewDialog : public QFileDialog {
    Q_OBJECT
public:
    // The sender and the selected file's extension, lower case, without its dot. The
    // handler may throw: the dialog then says "Error Preview" and stays open.
    using TPreviewNotify = std::function<void(TKpOpenPreviewDialog *sender, const std::string &extension)>;

    explicit TKpOpenPreviewDialog(QWidget *parent = nullptr);
    ~TKpOpenPreviewDialog() override;

    TPreviewNotify OnPreview;

    const QStringList &CustomPreviewExtensions() const { return customPreviewExtensions_; }
    // Takes the list only when its text differs from the present one.
    void SetCustomPreviewExt(const QStringList &extensions);

    std::string GetCaption() const;
    void SetCaption(const std::string &caption);

    // The file the preview is made for (the current one of the list).
    QString SelectedPath() const { return currentPath_; }

    // Runs the dialog through the platform's file-dialog path (answered by scripts in
    // tests): the chosen path or nothing when cancelled.
    std::optional<std::string> Execute();

    // Remakes the image and the text pane and asks the handler for the current file.
    void FPreview();

    // The parts of the pane. The image is made anew for every selection.
    QFrame *PreviewBox = nullptr;
    QTextEdit *FPreviewText = nullptr;
    QLabel *FPreviewImage = nullptr;
    QLabel *CaptionPanel = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void done(int result) override;

private:
    void CurrentChanged(const QString &path);

    QStringList customPreviewExtensions_;
    QString currentPath_;
};
