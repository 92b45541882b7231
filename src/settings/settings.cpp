#include "settings.h"

#include "settings_file.h"

namespace {

constexpr wchar_t kShowTrayIconDefault[] = L"1";
constexpr wchar_t kTextStyleDefault[] = L"0";

// The settings file beside the executable, as the profile functions work on it.
struct SettingsFile {
    SettingsFile() : copy(BuildPath(path)) {}
    const wchar_t* Path() const { return copy.Path(); }

  private:
    static const wchar_t* BuildPath(wchar_t* path) {
        BuildSettingsPath(path);
        return path;
    }
    wchar_t path[kSettingsPathSize];
    SettingsFileCopy copy;
};

// The stored position; a missing entry reads as the given default.
POINT ReadStoredPosition(const wchar_t* path, POINT fallback) {
    wchar_t left[kNumberReadSize], top[kNumberReadSize];
    wsprintfW(left, L"%d", static_cast<int>(fallback.x));
    wsprintfW(top, L"%d", static_cast<int>(fallback.y));
    return {ReadSavedNumber(path, kLeftKey, left), ReadSavedNumber(path, kTopKey, top)};
}

void LoadTextColor(const wchar_t* path, COLORREF (*viewTextColor)()) {
    wchar_t text[kNumberReadSize];
    ReadSavedText(path, kTextColorKey, kViewTextColorText, text, kNumberReadSize);
    settings.textColor = static_cast<COLORREF>(ParseSignedDecimal(text));
    if (MeansViewTextColor(text)) settings.textColor = viewTextColor();
}

void LoadTextColorDesc(const wchar_t* path) {
    ReadSavedDesc(path, settings.textColorDesc);
    if (!settings.textColorDesc[0])
        FormatCustomColorDesc(settings.textColor, settings.textColorDesc);
}

} // namespace

LoadedSettings LoadSettingsRecord(POINT centred, COLORREF (*viewTextColor)()) {
    const SettingsFile file;
    const POINT stored = ReadStoredPosition(file.Path(), centred);
    LoadTextColor(file.Path(), viewTextColor);
    LoadTextColorDesc(file.Path());
    settings.showTrayIcon =
        ReadSavedNumber(file.Path(), kShowTrayIconKey, kShowTrayIconDefault) != 0;
    settings.textStyle = ReadSavedNumber(file.Path(), kTextStyleKey, kTextStyleDefault);
    ReadCustomColors(file.Path(), settings.custColors);
    return {stored, IsFirstRun(file.Path())};
}

void EndFirstRun() {
    const SettingsFile file;
    MarkFirstRunDone(file.Path());
}

void SaveSettingsRecord(POINT position) {
    const SettingsFile file;
    WriteSavedSettings(file.Path(), settings, position);
}
