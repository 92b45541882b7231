#include <doctest.h>

#include <string>

#include "../../src/app/command_line.h"

TEST_CASE("the arguments follow the program name and the blanks after it") {
    CHECK(std::wstring(ArgumentsOf(L"quill.exe /autoset")) == L"/autoset");
    CHECK(std::wstring(ArgumentsOf(L"\"C:\\Program Files\\q.exe\"  \t x y")) == L"x y");
    CHECK(std::wstring(ArgumentsOf(L"\"C:\\unterminated quote")) == L"");
    CHECK(std::wstring(ArgumentsOf(L"\"C:\\Ж ü\\q.exe\" /autoset")) == L"/autoset");
    CHECK(std::wstring(ArgumentsOf(L"quill.exe")) == L"");
    CHECK(std::wstring(ArgumentsOf(L"")) == L"");
    // Every code from 1 to 32 counts as a blank after the name.
    CHECK(std::wstring(ArgumentsOf(L"q.exe\x01\x1f\x20word")) == L"word");
}

TEST_CASE("AUTOSET in the program's own path does not count") {
    CHECK_FALSE(HasAutosetArgument(ArgumentsOf(L"C:\\AUTOSET\\quill.exe")));
    CHECK_FALSE(HasAutosetArgument(ArgumentsOf(L"\"C:\\autoset dir\\quill.exe\"")));
    CHECK(HasAutosetArgument(ArgumentsOf(L"\"C:\\autoset dir\\quill.exe\" /autoset")));
}

TEST_CASE("AUTOSET is found anywhere in the arguments, in any letter case") {
    CHECK(HasAutosetArgument(L"/AUTOSET"));
    CHECK(HasAutosetArgument(L"/autoset"));
    CHECK(HasAutosetArgument(L"-AutoSet"));
    CHECK(HasAutosetArgument(L"XAUTOSETX"));
    CHECK(HasAutosetArgument(L"a b c autoset"));
    CHECK_FALSE(HasAutosetArgument(L""));
    CHECK_FALSE(HasAutosetArgument(L"/AUTOSE"));
    CHECK_FALSE(HasAutosetArgument(L"/AUTO SET"));
}
