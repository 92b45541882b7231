#include "settings_file.h"

#include <string.h>

namespace {

constexpr char kFirstRunDoneText[] = "0";
constexpr int kNumberTextSize = 12; // "-2147483648" and its zero

bool IsBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

void WriteSavedText(const char* path, const char* key, const char* text) {
    WritePrivateProfileStringA(kSavesSection, key, text, path);
}

} // namespace

void SettingsPathFromModulePath(char* path) {
    for (char* end = path + strlen(path); end > path; --end) {
        if (end[-1] == '\\') {
            end[-1] = '\0';
            break;
        }
    }
    strcat(path, kSettingsFileName);
}

void BuildSettingsPath(char* path) {
    path[0] = '\0';
    const DWORD length = GetModuleFileNameA(nullptr, path, kModulePathSize);
    // A path cut off at the buffer's end may come back without its zero.
    path[length < kModulePathSize ? length : kModulePathSize - 1] = '\0';
    SettingsPathFromModulePath(path);
}

int ParseSignedDecimal(const char* text) {
    while (IsBlank(*text)) ++text;
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+') ++text;
    // Unsigned arithmetic wraps at 32 bits where signed arithmetic would be undefined.
    UINT32 value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) value = value * 10 + (*text - '0');
    return static_cast<int>(negative ? 0u - value : value);
}

bool MeansViewTextColor(const char* text) {
    return strcmp(text, kViewTextColorText) == 0;
}

void ReadSavedText(const char* path, const char* key, const char* defaultText, char* text,
                   int size) {
    GetPrivateProfileStringA(kSavesSection, key, defaultText, text, size, path);
}

int ReadSavedNumber(const char* path, const char* key, const char* defaultText) {
    char text[kNumberReadSize];
    ReadSavedText(path, key, defaultText, text, kNumberReadSize);
    return ParseSignedDecimal(text);
}

void WriteSavedNumber(const char* path, const char* key, int value) {
    char text[kNumberTextSize];
    wsprintfA(text, "%d", value);
    WriteSavedText(path, key, text);
}

void ReadCustomColors(const char* path, COLORREF (&colors)[kCustomColorCount]) {
    // The platform fills the buffer before it checks the entry's checksum, so a damaged
    // entry is read into a copy that is kept only when the read succeeds.
    COLORREF stored[kCustomColorCount];
    if (GetPrivateProfileStructA(kSavesSection, kCustColorsKey, stored, sizeof stored, path)) {
        memcpy(colors, stored, sizeof stored);
    }
}

void WriteSavedSettings(const char* path, const Settings& record, POINT position) {
    WriteSavedNumber(path, kLeftKey, position.x);
    WriteSavedNumber(path, kTopKey, position.y);
    // A colour with its top bit set is written as a negative number.
    WriteSavedNumber(path, kTextColorKey, static_cast<int>(record.textColor));
    WriteSavedText(path, kTextColorDescKey, record.textColorDesc);
    WritePrivateProfileStructA(kSavesSection, kCustColorsKey,
                               const_cast<COLORREF*>(record.custColors), sizeof record.custColors,
                               path);
    WriteSavedNumber(path, kShowTrayIconKey, record.showTrayIcon ? 1 : 0);
    WriteSavedNumber(path, kTextStyleKey, record.textStyle);
}

bool IsFirstRun(const char* path) {
    return GetPrivateProfileIntA(kMainSection, kFirstRunKey, 1, path) != 0;
}

void MarkFirstRunDone(const char* path) {
    WritePrivateProfileStringA(kMainSection, kFirstRunKey, kFirstRunDoneText, path);
}
