#include "athcfg/registry.h"

#include <vector>

namespace athcfg {

const char kNetClassKey[] = "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}";

std::string DriverKeyPath(const std::string& subKey) { return std::string(kNetClassKey) + "\\" + subKey; }

bool KeyExists(HKEY root, const std::string& path) {
    fw::RegKey k;
    return k.Open(root, path);
}

bool DeleteTree(HKEY root, const std::string& path) {
    {
        fw::RegKey k;
        if (!k.Open(root, path, KEY_READ)) return true;
        for (const std::string& child : k.SubKeys()) DeleteTree(root, path + "\\" + child);
    }
    RegDeleteKeyA(root, path.c_str());
    return !KeyExists(root, path);
}

bool CopyTree(HKEY root, const std::string& from, const std::string& to) {
    fw::RegKey src, dst;
    if (!src.Open(root, from, KEY_READ) || !dst.Create(root, to)) return false;
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD name_size = sizeof name, type = 0, data_size = 0;
        if (RegEnumValueA(src.get(), i, name, &name_size, nullptr, &type, nullptr, &data_size) != ERROR_SUCCESS) break;
        std::vector<BYTE> data(data_size + 1);
        name_size = sizeof name;
        if (RegEnumValueA(src.get(), i, name, &name_size, nullptr, &type, data.data(), &data_size) != ERROR_SUCCESS)
            return false;
        if (!dst.WriteValue(name, type, data.data(), data_size)) return false;
    }
    for (const std::string& child : src.SubKeys())
        if (!CopyTree(root, from + "\\" + child, to + "\\" + child)) return false;
    return true;
}

}  // namespace athcfg
