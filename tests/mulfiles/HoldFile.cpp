// keelwright_hold_file FILE: holds FILE open for reading and writing without sharing it, as a game client
// may, until its standard input ends. Writes one byte to standard output once it holds the file. The
// Windows file system tests run it as the other program.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

int wmain(int argc, wchar_t* argv[]) {
    if (argc != 2) {
        return 2;
    }
    const HANDLE file = CreateFileW(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 1;
    }
    char byte = 'h';
    DWORD count = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), &byte, 1, &count, nullptr);
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), &byte, 1, &count, nullptr) && count > 0) {
    }
    CloseHandle(file);
    return 0;
}
