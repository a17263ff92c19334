// import_check ALLOW-LIST BINARY...: holds each 32-bit binary's header versions and imports
// against the allow-list; prints one line per fault and exits 1 when there is any.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "import_rules.h"

namespace {

bool ReadFile(const std::string& path, std::vector<uint8_t>& out) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    out.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return true;
}

std::string BaseName(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: import_check ALLOW-LIST BINARY...\n");
        return 2;
    }
    std::vector<uint8_t> bytes;
    std::vector<imports::Entry> list;
    std::string error;
    if (!ReadFile(argv[1], bytes) || bytes.empty() ||
        !imports::ParseAllowList(std::string(bytes.begin(), bytes.end()), list, error)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.empty() ? "cannot read" : error.c_str());
        return 2;
    }
    int faults = 0;
    std::map<std::string, pe::Image> built;  // all read first: the DLLs among them say what they export
    for (int i = 2; i < argc; ++i) {
        const std::string name = BaseName(argv[i]);
        pe::Image image;
        error.clear();
        if (!ReadFile(argv[i], bytes) || !pe::ReadImage(bytes, image, error)) {
            std::printf("%s: cannot read its headers: %s\n", name.c_str(), error.empty() ? "no file" : error.c_str());
            ++faults;
            continue;
        }
        built[name] = image;
    }
    for (const auto& [name, image] : built) {
        const auto found = imports::Check(name, image, list, built);
        for (const std::string& fault : found) std::printf("%s\n", fault.c_str());
        faults += static_cast<int>(found.size());
        if (found.empty()) std::printf("%s: %zu imports, all on every target\n", name.c_str(), image.imports.size());
    }
    return faults ? 1 : 0;
}
