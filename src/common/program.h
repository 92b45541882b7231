// What every part of the program may know of the program itself.
#pragma once
#include <windows.h>

// The executable's instance: its resources and the window classes it registers.
extern HINSTANCE appInstance;

// The caption of every message box that reports a failure.
constexpr wchar_t kErrorCaption[] = L"错误";
