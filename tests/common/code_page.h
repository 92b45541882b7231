// The tests hold their texts as code-page-936 bytes (their narrow literals are compiled
// to it), whatever code page they run under: every text read from or given to the program
// through a wide call is converted here, explicitly, so a run under another code page
// compares the same characters.
#pragma once
#include <windows.h>
#include <string.h>
#include <wchar.h>

#include <string>

constexpr UINT kTestCodePage = 936;

// Code-page-936 bytes as UTF-16, into a buffer of `size` characters.
inline void ToWide(const char* text, wchar_t* wide, int size) {
    if (size <= 0) return;
    const int length = MultiByteToWideChar(kTestCodePage, 0, text, -1, wide, size);
    if (length == 0) wide[size - 1] = L'\0';
}

// UTF-16 as code-page-936 bytes, into a buffer of `size` bytes; characters that the code
// page lacks become "?".
inline void ToNarrow(const wchar_t* wide, char* text, int size) {
    if (size <= 0) return;
    const int length = WideCharToMultiByte(kTestCodePage, 0, wide, -1, text, size, nullptr, nullptr);
    if (length == 0) text[size - 1] = '\0';
}

inline std::wstring Wide(const std::string& text) {
    std::wstring wide(text.size() + 1, L'\0');
    ToWide(text.c_str(), &wide[0], static_cast<int>(wide.size()));
    wide.resize(wcslen(wide.c_str()));
    return wide;
}

inline std::string Narrow(const std::wstring& wide) {
    std::string text(wide.size() * 2 + 1, '\0');
    ToNarrow(wide.c_str(), &text[0], static_cast<int>(text.size()));
    text.resize(strlen(text.c_str()));
    return text;
}
