// The argument part of the command line and the AUTOSET start option.
#pragma once

// Skips the program name (quoted or not) and the blanks and control characters after it.
const wchar_t* ArgumentsOf(const wchar_t* commandLine);

// True when "AUTOSET" occurs anywhere in the arguments, in any letter case.
bool HasAutosetArgument(const wchar_t* arguments);
