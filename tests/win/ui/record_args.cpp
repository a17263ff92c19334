// Writes the command line it was started with to the file named by RECORD_ARGS_TO.
#include <windows.h>

int main() {
    char path[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("RECORD_ARGS_TO", path, sizeof path)) return 1;
    HANDLE f = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return 1;
    const char* line = GetCommandLineA();
    DWORD written = 0;
    WriteFile(f, line, lstrlenA(line), &written, nullptr);
    CloseHandle(f);
    return 0;
}
