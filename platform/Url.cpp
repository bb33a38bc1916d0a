#include "Url.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace platform {
namespace {
std::function<void(const std::string &)> &UrlOpener()
{
    static std::function<void(const std::string &)> opener;
    return opener;
}
} // namespace

void OpenUrl(const std::string &url)
{
    if (UrlOpener()) {
        UrlOpener()(url);
        return;
    }
    QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

void SetUrlOpener(std::function<void(const std::string &url)> opener)
{
    UrlOpener() = std::move(opener);
}
} // namespace platform
