// The "PROGRAMMING" window: writes the stand-alone image into the interface's flash, one
// block per timer tick, and says how it ended.
#pragma once

#include <QDialog>

#include <cstdint>
#include <memory>
#include <string>

namespace Ui {
class TDOWNLOAD;
}
class FlashImageFile;
class QTimer;
struct FlashRequests;

class TDOWNLOAD : public QDialog {
    Q_OBJECT

public:
    // Opens the image in the program folder; without a whole image it says so and
    // Ready() is false (the window is then not run).
    explicit TDOWNLOAD(QWidget *parent = nullptr);
    ~TDOWNLOAD() override;

    Ui::TDOWNLOAD *ui;
    QTimer *Timer = nullptr;

    bool Ready() const { return image_ != nullptr; }
    void TimerTimer();
    void CancelClick();
    // The pages written so far.
    std::uint16_t Pages() const { return page_; }

    // The calls that reach the interface (the bound library by default).
    static FlashRequests LibraryRequests();

protected:
    void reject() override;

private:
    void Finish(bool ok, const std::string &text);

    std::unique_ptr<FlashImageFile> image_;
    std::uint16_t page_ = 0;
};
