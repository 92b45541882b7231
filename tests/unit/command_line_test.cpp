#include <doctest.h>

#include <string>

#include "../../src/app/command_line.h"

TEST_CASE("the arguments follow the program name and the blanks after it") {
    CHECK(std::string(ArgumentsOf("quill.exe /autoset")) == "/autoset");
    CHECK(std::string(ArgumentsOf("\"C:\\Program Files\\q.exe\"  \t x y")) == "x y");
    CHECK(std::string(ArgumentsOf("\"C:\\unterminated quote")) == "");
    CHECK(std::string(ArgumentsOf("quill.exe")) == "");
    CHECK(std::string(ArgumentsOf("")) == "");
    // Every code from 1 to 32 counts as a blank after the name.
    CHECK(std::string(ArgumentsOf("q.exe\x01\x1f\x20word")) == "word");
}

TEST_CASE("AUTOSET in the program's own path does not count") {
    CHECK_FALSE(HasAutosetArgument(ArgumentsOf("C:\\AUTOSET\\quill.exe")));
    CHECK_FALSE(HasAutosetArgument(ArgumentsOf("\"C:\\autoset dir\\quill.exe\"")));
    CHECK(HasAutosetArgument(ArgumentsOf("\"C:\\autoset dir\\quill.exe\" /autoset")));
}

TEST_CASE("AUTOSET is found anywhere in the arguments, in any letter case") {
    CHECK(HasAutosetArgument("/AUTOSET"));
    CHECK(HasAutosetArgument("/autoset"));
    CHECK(HasAutosetArgument("-AutoSet"));
    CHECK(HasAutosetArgument("XAUTOSETX"));
    CHECK(HasAutosetArgument("a b c autoset"));
    CHECK_FALSE(HasAutosetArgument(""));
    CHECK_FALSE(HasAutosetArgument("/AUTOSE"));
    CHECK_FALSE(HasAutosetArgument("/AUTO SET"));
}
