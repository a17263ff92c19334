// Sees what the shell is handed: this program's import of Shell_NotifyIconA is pointed at a
// spy that keeps a copy of each notification data block, then calls the shell as before.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/support/pe_imports.h"

namespace shellspy {

using NotifyFn = BOOL(WINAPI*)(DWORD, PNOTIFYICONDATAA);

struct Call {
    NOTIFYICONDATAA data;  // the bytes the caller's size covers; the rest zero
    BOOL result;
};

inline std::vector<Call> calls;
inline NotifyFn shell = nullptr;

inline BOOL WINAPI Spy(DWORD message, PNOTIFYICONDATAA data) {
    Call call = {};
    std::memcpy(&call.data, data, data->cbSize < sizeof call.data ? data->cbSize : sizeof call.data);
    call.result = shell(message, data);
    calls.push_back(call);
    return call.result;
}

// Points this executable's import of Shell_NotifyIconA at the spy; false when it has none.
inline bool Install() {
    if (shell) return true;
    ULONG_PTR* slot = pe::ImportSlot(GetModuleHandleA(nullptr), "shell32.dll", "Shell_NotifyIconA");
    if (!slot) return false;
    DWORD protect;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protect);
    shell = reinterpret_cast<NotifyFn>(*slot);
    *slot = reinterpret_cast<ULONG_PTR>(&Spy);
    VirtualProtect(slot, sizeof *slot, protect, &protect);
    return true;
}

// The tip as the shell reads it: the size field names the layout, and a size the shell
// does not know is taken as the first one, whose tip has 64 characters.
inline std::string TipTheShellReads(const NOTIFYICONDATAA& data) {
    size_t field = data.cbSize >= NOTIFYICONDATAA_V2_SIZE ? sizeof data.szTip : 64;
    return std::string(data.szTip, strnlen(data.szTip, field));
}

}  // namespace shellspy
