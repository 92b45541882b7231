#include "session.h"

#include "../desktop/core_module.h"
#include "../desktop/desktop_view.h"
#include "app.h"
#include "settings_view.h"

namespace {

// The marker may already be closed by the end of the session; never close it twice.
void ReleaseInstanceMarker() {
    if (!mutexHandle) return;
    CloseHandle(mutexHandle);
    mutexHandle = nullptr;
}

} // namespace

void ShutDown(HMODULE coreModule) {
    coreUndo();
    UnloadCoreModule(coreModule);
    if (IsActiveDesktop()) MakeOpaque();
    sharedMainWindow = nullptr;
    ReleaseInstanceMarker();
}

BOOL OnEndSession(bool ending) {
    // A cancelled shutdown leaves everything running as it was, the marker included,
    // so that a later start still finds this instance.
    if (!ending) return FALSE;
    SaveSettings();
    coreUndo();
    ReleaseInstanceMarker();
    return FALSE;
}
