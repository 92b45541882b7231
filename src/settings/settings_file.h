// The settings file beside the executable: its path, its entries and the text form of
// their values. Everything here works on a given path, so it can be tried on any file.
#pragma once
#include <windows.h>

#include "../common/settings_record.h"

constexpr int kModulePathSize = 512; // GetModuleFileNameA's buffer for the executable's path
constexpr char kSettingsFileName[] = "\\Quillmere.ini";
// Room for a module path of kModulePathSize bytes with the file name put after it.
constexpr int kSettingsPathSize = kModulePathSize + sizeof kSettingsFileName;
constexpr int kNumberReadSize = 30; // read limit of a number entry, its zero included
constexpr int kDescReadSize = 60;   // read limit of "TextColorDesc": at most 59 bytes

constexpr char kSavesSection[] = "Saves";
constexpr char kMainSection[] = "Main";
constexpr char kLeftKey[] = "Left";
constexpr char kTopKey[] = "Top";
constexpr char kTextColorKey[] = "TextColor";
constexpr char kTextColorDescKey[] = "TextColorDesc";
constexpr char kCustColorsKey[] = "CustColors";
constexpr char kShowTrayIconKey[] = "ShowTrayIcon";
constexpr char kTextStyleKey[] = "ShadowDist"; // holds the text style code
constexpr char kFirstRunKey[] = "BeFirst";

// "-1" stored as the text colour stands for the desktop view's own text colour.
constexpr char kViewTextColorText[] = "-1";

// Turns the path of a module, in a buffer of kSettingsPathSize bytes, into the path of
// the settings file in the same folder. Cut at the last backslash byte; a path without
// one is kept whole.
void SettingsPathFromModulePath(char* path);

// The settings file beside the running executable, into kSettingsPathSize bytes.
void BuildSettingsPath(char* path);

// Signed decimal: leading white space, an optional sign, then digits up to the first
// other character. No digit reads as 0; the value wraps at 32 bits.
int ParseSignedDecimal(const char* text);

// True only for the exact text "-1", not for other spellings of the same number.
bool MeansViewTextColor(const char* text);

// Reads a "Saves" entry into text (size bytes, at most size - 1 of them read).
void ReadSavedText(const char* path, const char* key, const char* defaultText, char* text,
                   int size);

// Reads a number entry of "Saves" within the number read limit.
int ReadSavedNumber(const char* path, const char* key, const char* defaultText);

// Writes a number entry of "Saves" in signed decimal.
void WriteSavedNumber(const char* path, const char* key, int value);

// Fills colors only when the stored entry is complete and its checksum right: a missing
// or damaged entry leaves them as they were.
void ReadCustomColors(const char* path, COLORREF (&colors)[kCustomColorCount]);

// Writes the entries of "Saves": the window's position, then the settings record.
void WriteSavedSettings(const char* path, const Settings& record, POINT position);

// True until the first run has been marked done in section "Main".
bool IsFirstRun(const char* path);
void MarkFirstRunDone(const char* path);
