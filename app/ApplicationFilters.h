// Event filters a window installs on the whole application. They are remembered with the
// window that owns them, so that the window removes them first when it is destroyed: an
// application-wide filter sees every event, also those the window's own destruction sends
// (its hiding, the focus leaving it), and must not call into a window that is going.
#pragma once

class QObject;

// Installs `filter` on the application, remembered as `owner`'s.
void InstallApplicationFilter(const QObject *owner, QObject *filter);
// Removes from the application and frees every filter `owner` installed.
void RemoveApplicationFilters(const QObject *owner);
