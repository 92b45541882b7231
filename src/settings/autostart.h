// Start with Windows: the program's value in the machine-wide Run key.
#pragma once
#include <windows.h>
#include <stddef.h>

constexpr int kRunDataSize = 512; // characters

// The Run value's data for an executable path: the path in double quotes, so that
// Windows never tries the parts of a path with blanks as programs, then " /AUTOSET";
// size counts characters.
void FormatRunData(const wchar_t* exePath, wchar_t* data, size_t size);

// Writes the Run value when enable is set, deletes it otherwise. False when the key cannot
// be opened or the value cannot be written or deleted (without administrator rights, say);
// a value that is already absent counts as deleted.
bool SetAutoStart(bool enable);

// True when the Run key holds a value of the program's name, whatever its data.
bool HasAutoStartValue();
