#include "ApplicationFilters.h"

#include <QCoreApplication>
#include <QObject>
#include <QPointer>

#include <utility>
#include <vector>

namespace {
struct Installed {
    const QObject *owner;
    QPointer<QObject> filter;
};
std::vector<Installed> &AllInstalled()
{
    static std::vector<Installed> all;
    return all;
}
} // namespace

void InstallApplicationFilter(const QObject *owner, QObject *filter)
{
    QCoreApplication::instance()->installEventFilter(filter);
    AllInstalled().push_back({owner, filter});
}

void RemoveApplicationFilters(const QObject *owner)
{
    std::vector<Installed> &all = AllInstalled();
    std::vector<Installed> kept;
    std::vector<Installed> removed;
    for (Installed &i : all)
        (i.owner == owner ? removed : kept).push_back(std::move(i));
    all = std::move(kept);
    for (Installed &i : removed) {
        if (!i.filter)
            continue;   // already gone with its parent
        if (QCoreApplication *app = QCoreApplication::instance())
            app->removeEventFilter(i.filter);
        delete i.filter.data();
    }
}
