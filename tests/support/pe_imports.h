// The import table of a loaded or mapped program image.
#pragma once
#include <windows.h>

#include <string>

namespace pe {

// The import address slot of `function` (imported by name from `dll`) in `module`, or null.
inline ULONG_PTR* ImportSlot(HMODULE module, const char* dll, const char* function) {
    auto* base = reinterpret_cast<BYTE*>(module);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!dir.VirtualAddress) return nullptr;
    for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); entry->Name; ++entry) {
        if (lstrcmpiA(reinterpret_cast<char*>(base + entry->Name), dll) != 0) continue;
        auto* name = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
        auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
        for (; name->u1.AddressOfData; ++name, ++slot) {
            if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal)) continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData);
            if (lstrcmpA(reinterpret_cast<char*>(byName->Name), function) == 0)
                return reinterpret_cast<ULONG_PTR*>(&slot->u1.Function);
        }
    }
    return nullptr;
}

namespace detail {
template <typename Thunk>
bool ImportsByName(BYTE* base, const IMAGE_DATA_DIRECTORY& dir, ULONGLONG ordinalFlag, const char* dll,
                   const char* function) {
    if (!dir.VirtualAddress) return false;
    for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); entry->Name; ++entry) {
        if (lstrcmpiA(reinterpret_cast<char*>(base + entry->Name), dll) != 0) continue;
        for (auto* name = reinterpret_cast<Thunk*>(base + entry->OriginalFirstThunk); name->u1.AddressOfData; ++name) {
            if (name->u1.Ordinal & ordinalFlag) continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData);
            if (lstrcmpA(reinterpret_cast<char*>(byName->Name), function) == 0) return true;
        }
    }
    return false;
}
}  // namespace detail

// Whether the program or library `file`, 32- or 64-bit, imports `function` by name from `dll`.
inline bool FileImports(const std::string& file, const char* dll, const char* function) {
    HMODULE image = LoadLibraryExA(file.c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!image) return false;
    // The handle of an image mapped as a resource carries flags in its low bits.
    auto* base = reinterpret_cast<BYTE*>(reinterpret_cast<ULONG_PTR>(image) & ~ULONG_PTR(3));
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS32*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    bool found;
    if (nt->OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC)
        found = detail::ImportsByName<IMAGE_THUNK_DATA32>(
            base, nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT], IMAGE_ORDINAL_FLAG32, dll, function);
    else
        found = detail::ImportsByName<IMAGE_THUNK_DATA64>(
            base, reinterpret_cast<IMAGE_NT_HEADERS64*>(nt)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT],
            IMAGE_ORDINAL_FLAG64, dll, function);
    FreeLibrary(image);
    return found;
}

}  // namespace pe
