// Pictures of windows for looking at: with BRTV_KEEP_SHOTS naming a folder each grab is
// kept there as <name>.png, with it naming a file as <file>-<name>.png.
#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>

#include <cstdlib>
#include <filesystem>
#include <string>

inline void KeepShot(QWidget *w, const std::string &name)
{
    const char *keep = std::getenv("BRTV_KEEP_SHOTS");
    if (!keep || !*keep)
        return;
    namespace fs = std::filesystem;
    fs::path target = fs::is_directory(keep) ? fs::path(keep) / (name + ".png")
                                             : fs::path(std::string(keep) + "-" + name + ".png");
    w->grab().save(QString::fromStdString(target.string()));
}
