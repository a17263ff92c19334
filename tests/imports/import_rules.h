// Which Windows exports each function a binary may import: the allow-list, one line per
// function, with the first Windows of the 9x line and of the NT line that exports it, and
// the check of a binary's imports and header versions against the product's targets.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "pe_image.h"

namespace imports {

struct Target {
    const char* name;
    bool nt;              // NT line, else 9x line
    const char* version;  // as the allow-list writes it
};

// Windows 98 SE, Me, 2000 SP4 and XP SP2.
const std::vector<Target>& Targets();

struct Entry {
    std::string dll, function;
    int first9x = -1, firstNt = -1;  // -1: not exported (or only as a stub that fails)
};

// Reads allow-list text: "DLL function first-9x first-NT", "-" for none, "#" starts a
// comment; function "*" stands for every function of a DLL we ship ourselves. False, with
// `error` naming the line, on a malformed line, an unknown version or a function listed twice.
bool ParseAllowList(const std::string& text, std::vector<Entry>& out, std::string& error);

// One line per fault of `image` (named `binary`): a header version other than 4.0, or an
// import that a target lacks or that the list does not know. Empty when it loads everywhere.
// Also delay-load imports, and imports that our DLLs' builds in `built` (by file name) do not export.
std::vector<std::string> Check(const std::string& binary, const pe::Image& image, const std::vector<Entry>& list,
                               const std::map<std::string, pe::Image>& built);

}  // namespace imports
