// Functions of system libraries that most runs never call, looked up on first use: a library
// that is not imported is not mapped, with everything it brings along, until it is needed.
#pragma once
#include <windows.h>

namespace fw {

// `name` in `library`, which is loaded if it is not yet and stays loaded; null when either
// is missing.
template <typename Function>
Function LoadedFunction(const char* library, const char* name) {
    HMODULE module = GetModuleHandleA(library);
    if (!module) module = LoadLibraryA(library);
    return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

}  // namespace fw
