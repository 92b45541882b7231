#include "settings.h"

#include <string.h>

#include "settings_file.h"

namespace {

constexpr char kShowTrayIconDefault[] = "1";
constexpr char kTextStyleDefault[] = "0";
constexpr char kEmptyText[] = "";

// The stored position; a missing entry reads as the given default.
POINT ReadStoredPosition(const char* path, POINT fallback) {
    char left[kNumberReadSize], top[kNumberReadSize];
    wsprintfA(left, "%d", static_cast<int>(fallback.x));
    wsprintfA(top, "%d", static_cast<int>(fallback.y));
    return {ReadSavedNumber(path, kLeftKey, left), ReadSavedNumber(path, kTopKey, top)};
}

void LoadTextColor(const char* path, COLORREF (*viewTextColor)()) {
    char text[kNumberReadSize];
    ReadSavedText(path, kTextColorKey, kViewTextColorText, text, kNumberReadSize);
    settings.textColor = static_cast<COLORREF>(ParseSignedDecimal(text));
    if (MeansViewTextColor(text)) settings.textColor = viewTextColor();
}

void LoadTextColorDesc(const char* path) {
    char desc[kDescReadSize];
    ReadSavedText(path, kTextColorDescKey, kEmptyText, desc, kDescReadSize);
    if (desc[0]) {
        strcpy(settings.textColorDesc, desc);
    } else {
        FormatCustomColorDesc(settings.textColor, settings.textColorDesc);
    }
}

} // namespace

POINT LoadSettingsRecord(POINT centred, COLORREF (*viewTextColor)()) {
    char path[kSettingsPathSize];
    BuildSettingsPath(path);
    const POINT stored = ReadStoredPosition(path, centred);
    LoadTextColor(path, viewTextColor);
    LoadTextColorDesc(path);
    settings.showTrayIcon = ReadSavedNumber(path, kShowTrayIconKey, kShowTrayIconDefault) != 0;
    settings.textStyle = ReadSavedNumber(path, kTextStyleKey, kTextStyleDefault);
    return stored;
}

void LoadCustomColors() {
    char path[kSettingsPathSize];
    BuildSettingsPath(path);
    ReadCustomColors(path, settings.custColors);
}

bool FirstRunDue() {
    char path[kSettingsPathSize];
    BuildSettingsPath(path);
    return IsFirstRun(path);
}

void EndFirstRun() {
    char path[kSettingsPathSize];
    BuildSettingsPath(path);
    MarkFirstRunDone(path);
}

void SaveSettingsRecord(POINT position) {
    char path[kSettingsPathSize];
    BuildSettingsPath(path);
    WriteSavedSettings(path, settings, position);
}
