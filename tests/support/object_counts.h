// Counts of what a process holds, for the soak benchmarks. GetGuiResources and
// GetProcessHandleCount are stubs under Wine, so GDI and USER objects are counted by probing
// their handle tables and kernel handles through the system's handle list.
#pragma once
#include <windows.h>
#include <psapi.h>

#include <vector>

namespace objects {

// Both handle tables accept a bare index as a handle: live objects are found by probing.
inline int Gdi() {
    int n = 0;
    for (ULONG_PTR i = 1; i < 0x10000; ++i)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(i))) ++n;
    return n;
}

inline int User() {
    int n = 0;
    DWORD self = GetCurrentProcessId();
    for (ULONG_PTR i = 0x20; i < 0x10000; i += 2) {
        HWND w = reinterpret_cast<HWND>(i);
        DWORD pid = 0;
        if (IsWindow(w) && GetWindowThreadProcessId(w, &pid) && pid == self) ++n;
        else if (IsMenu(reinterpret_cast<HMENU>(i))) ++n;
    }
    return n;
}

struct HandleEntry {
    ULONG ownerPid;
    BYTE objectType;
    BYTE flags;
    USHORT value;
    PVOID object;
    ULONG access;
};
struct HandleTable {
    ULONG count;
    HandleEntry entries[1];
};
using QuerySystemInformation = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);

inline int KernelHandles() {
    auto query = reinterpret_cast<QuerySystemInformation>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation"));
    if (!query) return -1;
    std::vector<char> buf(1 << 20);
    ULONG needed = 0;
    while (query(16 /* SystemHandleInformation */, buf.data(), static_cast<ULONG>(buf.size()),
                 &needed) != 0) {
        if (buf.size() >= (64u << 20)) return -1;
        buf.resize(buf.size() * 2);
    }
    auto* table = reinterpret_cast<HandleTable*>(buf.data());
    int n = 0;
    for (ULONG i = 0; i < table->count; ++i)
        if (table->entries[i].ownerPid == GetCurrentProcessId()) ++n;
    return n;
}

inline SIZE_T WorkingSet() {
    PROCESS_MEMORY_COUNTERS pmc = {};
    pmc.cb = sizeof pmc;
    GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
    return pmc.WorkingSetSize;
}

}  // namespace objects
