// Where the running test program lives; the other built programs are beside it.
#pragma once
#include <windows.h>

#include <string>

// The folder of this program, ending in a backslash.
inline std::string ProgramDir() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p = path;
    return p.substr(0, p.rfind('\\') + 1);
}
