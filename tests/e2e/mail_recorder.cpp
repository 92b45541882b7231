// Stands in for the user's mail program in the end-to-end tests. Registered for mailto:
// as  "MailRecorder.exe" "<log file>" "%1", it appends the address it was started with
// to the log file, one line per start, and ends.
#include <windows.h>
#include <string.h>

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    HANDLE file = CreateFileA(argv[1], FILE_APPEND_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written;
    WriteFile(file, argv[2], static_cast<DWORD>(strlen(argv[2])), &written, nullptr);
    WriteFile(file, "\r\n", 2, &written, nullptr);
    CloseHandle(file);
    return 0;
}
