// Quillmere's version, for the version resource of every shipped file and the package name.
#pragma once
#define QUILL_VERSION_MAJOR 1
#define QUILL_VERSION_MINOR 5
#define QUILL_VERSION_TEXT "1.5"
