#include "settings_file.h"

#include <string.h>

namespace {

constexpr wchar_t kFirstRunDoneText[] = L"0";
constexpr int kNumberTextSize = 12; // "-2147483648" and its zero
constexpr wchar_t kByteOrderMark = 0xFEFF;
constexpr wchar_t kCopyPrefix[] = L"qlm";

bool IsBlank(wchar_t c) {
    return c == L' ' || (c >= L'\t' && c <= L'\r');
}

void WriteSavedText(const wchar_t* path, const wchar_t* key, const wchar_t* text) {
    WritePrivateProfileStringW(kSavesSection, key, text, path);
}

BYTE* Allocate(DWORD size) {
    return static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), 0, size ? size : 1));
}

void Release(BYTE* bytes) {
    if (bytes) HeapFree(GetProcessHeap(), 0, bytes);
}

// The whole file; null when it cannot be read. The caller releases the bytes.
BYTE* ReadWholeFile(const wchar_t* path, DWORD* size) {
    *size = 0;
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    const DWORD length = GetFileSize(file, nullptr);
    BYTE* bytes = length == INVALID_FILE_SIZE ? nullptr : Allocate(length);
    DWORD read = 0;
    if (bytes && (!ReadFile(file, bytes, length, &read, nullptr) || read != length)) {
        Release(bytes);
        bytes = nullptr;
    }
    CloseHandle(file);
    *size = read;
    return bytes;
}

bool WriteWholeFile(const wchar_t* path, const void* bytes, DWORD size) {
    HANDLE file = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool done = WriteFile(file, bytes, size, &written, nullptr) && written == size;
    CloseHandle(file);
    return done;
}

// A byte-order mark of UTF-16 (either order) or UTF-8: the profile functions read such a
// file the same under every code page.
bool StartsWithByteOrderMark(const BYTE* bytes, DWORD size) {
    if (size >= 2 &&
        ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF)))
        return true;
    return size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF;
}

// Code-page-936 bytes as UTF-16 after a byte-order mark, the form in which the profile
// functions keep a file Unicode; null when it cannot be made. The caller releases it.
BYTE* UnicodeCopyOf(const BYTE* stored, DWORD storedSize, DWORD* size) {
    const char* text = reinterpret_cast<const char*>(stored);
    const int length =
        storedSize ? MultiByteToWideChar(kSettingsCodePage, 0, text, storedSize, nullptr, 0) : 0;
    *size = (length + 1) * sizeof(wchar_t);
    BYTE* copy = Allocate(*size);
    if (!copy) return nullptr;
    wchar_t* unicode = reinterpret_cast<wchar_t*>(copy);
    unicode[0] = kByteOrderMark;
    if (length) MultiByteToWideChar(kSettingsCodePage, 0, text, storedSize, unicode + 1, length);
    return copy;
}

// The copy's UTF-16 text, without its byte-order mark, written over the settings file as
// code-page-936 bytes.
void StoreUnicodeCopy(const BYTE* copy, DWORD copySize, const wchar_t* settingsPath) {
    const wchar_t* text = reinterpret_cast<const wchar_t*>(copy);
    int length = static_cast<int>(copySize / sizeof(wchar_t));
    if (length > 0 && text[0] == kByteOrderMark) {
        ++text;
        --length;
    }
    const int size = length ? WideCharToMultiByte(kSettingsCodePage, 0, text, length, nullptr, 0,
                                                  nullptr, nullptr)
                            : 0;
    BYTE* stored = Allocate(size);
    if (!stored) return;
    if (size) {
        WideCharToMultiByte(kSettingsCodePage, 0, text, length, reinterpret_cast<char*>(stored),
                            size, nullptr, nullptr);
    }
    WriteWholeFile(settingsPath, stored, size);
    Release(stored);
}

// The bytes that one character takes in the file.
int StoredSizeOf(wchar_t character) {
    return WideCharToMultiByte(kSettingsCodePage, 0, &character, 1, nullptr, 0, nullptr, nullptr);
}

} // namespace

SettingsFileCopy::SettingsFileCopy(const wchar_t* path) {
    lstrcpynW(settingsPath, path, kSettingsPathSize);
    lstrcpynW(workPath, path, kSettingsPathSize);
    DWORD storedSize = 0;
    BYTE* stored = ReadWholeFile(settingsPath, &storedSize);
    const DWORD readError = stored ? ERROR_SUCCESS : GetLastError();
    if (stored && StartsWithByteOrderMark(stored, storedSize)) {
        Release(stored);
        return;
    }
    // A file that is there but cannot be read now (held by another program, say) is never
    // replaced by what a copy made without it would hold.
    mayStore = stored || readError == ERROR_FILE_NOT_FOUND || readError == ERROR_PATH_NOT_FOUND;
    wchar_t folder[MAX_PATH];
    const DWORD folderLength = GetTempPathW(MAX_PATH, folder);
    if (folderLength > 0 && folderLength < MAX_PATH &&
        GetTempFileNameW(folder, kCopyPrefix, 0, workPath)) {
        copyAtStart = UnicodeCopyOf(stored, storedSize, &copySize);
        isCopy = copyAtStart && WriteWholeFile(workPath, copyAtStart, copySize);
        if (!isCopy) {
            DeleteFileW(workPath);
            lstrcpynW(workPath, settingsPath, kSettingsPathSize);
        }
    }
    Release(stored);
}

SettingsFileCopy::~SettingsFileCopy() {
    if (isCopy) {
        // Ends the profile functions' hold on the copy: pending changes reach the disk,
        // and no cached contents outlive it under a name that may be used again.
        WritePrivateProfileStringW(nullptr, nullptr, nullptr, workPath);
        DWORD size = 0;
        BYTE* copy = ReadWholeFile(workPath, &size);
        // Only a change is written, so a damaged file that was only read stays as it is.
        if (mayStore && copy && (size != copySize || memcmp(copy, copyAtStart, size) != 0))
            StoreUnicodeCopy(copy, size, settingsPath);
        Release(copy);
        DeleteFileW(workPath);
    }
    Release(copyAtStart);
}

void SettingsPathFromModulePath(wchar_t* path) {
    for (wchar_t* end = path + lstrlenW(path); end > path; --end) {
        if (end[-1] == L'\\') {
            end[-1] = L'\0';
            break;
        }
    }
    lstrcatW(path, kSettingsFileName);
}

void BuildSettingsPath(wchar_t* path) {
    path[0] = L'\0';
    const DWORD length = GetModuleFileNameW(nullptr, path, kModulePathSize);
    // A path cut off at the buffer's end may come back without its zero.
    path[length < kModulePathSize ? length : kModulePathSize - 1] = L'\0';
    SettingsPathFromModulePath(path);
}

int ParseSignedDecimal(const wchar_t* text) {
    while (IsBlank(*text)) ++text;
    const bool negative = *text == L'-';
    if (*text == L'-' || *text == L'+') ++text;
    // Unsigned arithmetic wraps at 32 bits where signed arithmetic would be undefined.
    UINT32 value = 0;
    for (; *text >= L'0' && *text <= L'9'; ++text) value = value * 10 + (*text - L'0');
    return static_cast<int>(negative ? 0u - value : value);
}

bool MeansViewTextColor(const wchar_t* text) {
    return lstrcmpW(text, kViewTextColorText) == 0;
}

void ReadSavedText(const wchar_t* path, const wchar_t* key, const wchar_t* defaultText,
                   wchar_t* text, int size) {
    GetPrivateProfileStringW(kSavesSection, key, defaultText, text, size, path);
}

void ReadSavedDesc(const wchar_t* path, wchar_t* desc) {
    static_assert(kDescReadSize <= kColorDescSize, "the description read fits the record");
    ReadSavedText(path, kTextColorDescKey, L"", desc, kDescReadSize);
    int bytes = 0;
    for (wchar_t* character = desc; *character; ++character) {
        bytes += StoredSizeOf(*character);
        if (bytes > kDescReadSize - 1) {
            *character = L'\0';
            break;
        }
    }
}

int ReadSavedNumber(const wchar_t* path, const wchar_t* key, const wchar_t* defaultText) {
    wchar_t text[kNumberReadSize];
    ReadSavedText(path, key, defaultText, text, kNumberReadSize);
    return ParseSignedDecimal(text);
}

void WriteSavedNumber(const wchar_t* path, const wchar_t* key, int value) {
    wchar_t text[kNumberTextSize];
    wsprintfW(text, L"%d", value);
    WriteSavedText(path, key, text);
}

void ReadCustomColors(const wchar_t* path, COLORREF (&colors)[kCustomColorCount]) {
    // The platform fills the buffer before it checks the entry's checksum, so a damaged
    // entry is read into a copy that is kept only when the read succeeds.
    COLORREF stored[kCustomColorCount];
    if (GetPrivateProfileStructW(kSavesSection, kCustColorsKey, stored, sizeof stored, path)) {
        memcpy(colors, stored, sizeof stored);
    }
}

void WriteSavedSettings(const wchar_t* path, const Settings& record, POINT position) {
    WriteSavedNumber(path, kLeftKey, position.x);
    WriteSavedNumber(path, kTopKey, position.y);
    // A colour with its top bit set is written as a negative number.
    WriteSavedNumber(path, kTextColorKey, static_cast<int>(record.textColor));
    WriteSavedText(path, kTextColorDescKey, record.textColorDesc);
    WritePrivateProfileStructW(kSavesSection, kCustColorsKey,
                               const_cast<COLORREF*>(record.custColors), sizeof record.custColors,
                               path);
    WriteSavedNumber(path, kShowTrayIconKey, record.showTrayIcon ? 1 : 0);
    WriteSavedNumber(path, kTextStyleKey, record.textStyle);
}

bool IsFirstRun(const wchar_t* path) {
    return GetPrivateProfileIntW(kMainSection, kFirstRunKey, 1, path) != 0;
}

void MarkFirstRunDone(const wchar_t* path) {
    WritePrivateProfileStringW(kMainSection, kFirstRunKey, kFirstRunDoneText, path);
}
