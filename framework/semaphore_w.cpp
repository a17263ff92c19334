// CreateSemaphoreW for the 32-bit product. The compiler runtime's win32 thread model
// (libgcc: its mutexes, the unwinder's, emulated TLS) creates unnamed semaphores with
// CreateSemaphoreW, which Windows 98 and Me export only as a stub that fails; the runtime
// does not check, and two threads meeting at such a mutex would then end the program.
// Defining the import slot here makes the linker take this function instead of the system's.
#include <windows.h>

namespace {

HANDLE WINAPI CreateUnnamedSemaphore(SECURITY_ATTRIBUTES* attributes, LONG initial, LONG maximum, const WCHAR* name) {
    if (name) {  // no caller names one; a name would need a conversion the A function cannot undo
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return CreateSemaphoreA(attributes, initial, maximum, nullptr);
}

}  // namespace

// The i686 name of the import slot (stdcall, 16 bytes of arguments).
extern "C" decltype(&CreateUnnamedSemaphore) createSemaphoreW __asm__("__imp__CreateSemaphoreW@16");
decltype(&CreateUnnamedSemaphore) createSemaphoreW = CreateUnnamedSemaphore;
