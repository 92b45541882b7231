// The settings file beside the executable: its path, its entries and the text form of
// their values. Everything here works on a given path, so it can be tried on any file.
#pragma once
#include <windows.h>

#include "../common/settings_record.h"

constexpr int kModulePathSize = 512; // GetModuleFileNameW's buffer for the executable's path
constexpr wchar_t kSettingsFileName[] = L"\\Quillmere.ini";
// Room for a module path of kModulePathSize characters with the file name put after it.
constexpr int kSettingsPathSize = kModulePathSize + sizeof kSettingsFileName / sizeof(wchar_t);
constexpr int kNumberReadSize = 30; // read limit of a number entry, its zero included
constexpr int kDescReadSize = 60;   // read limit of "TextColorDesc": at most 59 bytes as stored

// The file stores its texts in code page 936, whatever the system's code page.
constexpr UINT kSettingsCodePage = 936;

constexpr wchar_t kSavesSection[] = L"Saves";
constexpr wchar_t kMainSection[] = L"Main";
constexpr wchar_t kLeftKey[] = L"Left";
constexpr wchar_t kTopKey[] = L"Top";
constexpr wchar_t kTextColorKey[] = L"TextColor";
constexpr wchar_t kTextColorDescKey[] = L"TextColorDesc";
constexpr wchar_t kCustColorsKey[] = L"CustColors";
constexpr wchar_t kShowTrayIconKey[] = L"ShowTrayIcon";
constexpr wchar_t kTextStyleKey[] = L"ShadowDist"; // holds the text style code
constexpr wchar_t kFirstRunKey[] = L"BeFirst";

// "-1" stored as the text colour stands for the desktop view's own text colour.
constexpr wchar_t kViewTextColorText[] = L"-1";

// The settings file as the profile functions work on it: a UTF-16 copy in the temporary
// folder, made from the file's code-page-936 bytes, and turned back into such bytes over
// the file when the profile functions changed it. The profile functions would otherwise
// read and write the file in the system's code page. The system's own profile code still
// lays out every line, so the file holds the same bytes it always did. A file that
// already starts with a byte-order mark is Unicode and is worked on in place; so is the
// file itself when no copy can be made.
class SettingsFileCopy {
  public:
    explicit SettingsFileCopy(const wchar_t* settingsPath);
    ~SettingsFileCopy();
    SettingsFileCopy(const SettingsFileCopy&) = delete;
    SettingsFileCopy& operator=(const SettingsFileCopy&) = delete;

    // The file for the profile functions.
    const wchar_t* Path() const { return workPath; }

  private:
    wchar_t settingsPath[kSettingsPathSize];
    wchar_t workPath[MAX_PATH + kSettingsPathSize];
    bool isCopy = false;
    bool mayStore = false;       // the file was read, or is not there: the copy may replace it
    BYTE* copyAtStart = nullptr; // the copy's bytes as made, to see whether they changed
    DWORD copySize = 0;
};

// Turns the path of a module, in a buffer of kSettingsPathSize characters, into the path
// of the settings file in the same folder. Cut at the last backslash; a path without one
// is kept whole.
void SettingsPathFromModulePath(wchar_t* path);

// The settings file beside the running executable, into kSettingsPathSize characters.
void BuildSettingsPath(wchar_t* path);

// Signed decimal: leading white space, an optional sign, then digits up to the first
// other character. No digit reads as 0; the value wraps at 32 bits.
int ParseSignedDecimal(const wchar_t* text);

// True only for the exact text "-1", not for other spellings of the same number.
bool MeansViewTextColor(const wchar_t* text);

// Reads a "Saves" entry into text (size characters, at most size - 1 of them read).
void ReadSavedText(const wchar_t* path, const wchar_t* key, const wchar_t* defaultText,
                   wchar_t* text, int size);

// Reads "TextColorDesc" into kColorDescSize characters: as much of it as fits into 59 bytes
// of code page 936, the form the file stores it in, and never half a character.
void ReadSavedDesc(const wchar_t* path, wchar_t* desc);

// Reads a number entry of "Saves" within the number read limit.
int ReadSavedNumber(const wchar_t* path, const wchar_t* key, const wchar_t* defaultText);

// Writes a number entry of "Saves" in signed decimal.
void WriteSavedNumber(const wchar_t* path, const wchar_t* key, int value);

// Fills colors only when the stored entry is complete and its checksum right: a missing
// or damaged entry leaves them as they were.
void ReadCustomColors(const wchar_t* path, COLORREF (&colors)[kCustomColorCount]);

// Writes the entries of "Saves": the window's position, then the settings record.
void WriteSavedSettings(const wchar_t* path, const Settings& record, POINT position);

// True until the first run has been marked done in section "Main".
bool IsFirstRun(const wchar_t* path);
void MarkFirstRunDone(const wchar_t* path);
