#include "import_rules.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace imports {

namespace {

// Each line's versions in the order they came out.
const std::vector<std::string> k9x = {"95", "98", "98SE", "Me"};
const std::vector<std::string> kNt = {"NT3.1", "NT3.5", "NT4", "2000", "2000SP4", "XP", "XPSP2", "XPSP3",
                                      "Vista", "7", "8", "8.1", "10"};

// Rank of `name` in `order`; -1 for "-"; false when unknown.
bool Rank(const std::vector<std::string>& order, const std::string& name, int& rank) {
    if (name == "-") {
        rank = -1;
        return true;
    }
    auto found = std::find(order.begin(), order.end(), name);
    rank = static_cast<int>(found - order.begin());
    return found != order.end();
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string Version(const pe::Image& image, bool subsystem) {
    return subsystem ? std::to_string(image.subsystemMajor) + "." + std::to_string(image.subsystemMinor)
                     : std::to_string(image.osMajor) + "." + std::to_string(image.osMinor);
}

// True when the binary among `built` named as `import`'s DLL exports its function by name.
bool Exported(const std::map<std::string, pe::Image>& built, const pe::Import& import) {
    for (const auto& [name, image] : built)
        if (Lower(name) == Lower(import.dll) && std::count(image.exports.begin(), image.exports.end(), import.function))
            return true;
    return false;
}

}  // namespace

const std::vector<Target>& Targets() {
    static const std::vector<Target> targets = {
        {"Windows 98 SE", false, "98SE"}, {"Windows Me", false, "Me"},
        {"Windows 2000 SP4", true, "2000SP4"}, {"Windows XP SP2", true, "XPSP2"}};
    return targets;
}

bool ParseAllowList(const std::string& text, std::vector<Entry>& out, std::string& error) {
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        std::istringstream words(line.substr(0, line.find('#')));
        std::string first9x, firstNt, extra;
        Entry e;
        if (!(words >> e.dll)) continue;
        if (!(words >> e.function >> first9x >> firstNt) || (words >> extra)) {
            error = "line " + std::to_string(number) + ": want DLL, function, first 9x, first NT";
            return false;
        }
        if (!Rank(k9x, first9x, e.first9x) || !Rank(kNt, firstNt, e.firstNt)) {
            error = "line " + std::to_string(number) + ": unknown Windows version";
            return false;
        }
        if (std::any_of(out.begin(), out.end(),
                        [&](const Entry& o) { return Lower(o.dll) == Lower(e.dll) && o.function == e.function; })) {
            error = "line " + std::to_string(number) + ": " + e.dll + "!" + e.function + " is listed twice";
            return false;
        }
        out.push_back(e);
    }
    return true;
}

std::vector<std::string> Check(const std::string& binary, const pe::Image& image, const std::vector<Entry>& list,
                               const std::map<std::string, pe::Image>& built) {
    std::vector<std::string> faults;
    // Windows 98 and NT 4-era loaders refuse an image that asks for a later system.
    if (image.subsystemMajor != 4 || image.subsystemMinor != 0)
        faults.push_back(binary + ": subsystem version " + Version(image, true) + ", every target needs 4.0");
    if (image.osMajor != 4 || image.osMinor != 0)
        faults.push_back(binary + ": OS version " + Version(image, false) + ", every target needs 4.0");
    if (image.delayImports)
        faults.push_back(binary + ": has delay-load imports, which this check cannot see: use GetProcAddress");
    for (const pe::Import& import : image.imports) {
        const std::string name = binary + ": " + import.dll + "!" + import.function;
        auto entry = std::find_if(list.begin(), list.end(), [&](const Entry& e) {
            return Lower(e.dll) == Lower(import.dll) && (e.function == import.function || e.function == "*");
        });
        if (entry == list.end()) {
            faults.push_back(name + " is not in the allow-list: not known to load on any target");
            continue;
        }
        if (entry->function == "*" && !Exported(built, import))
            faults.push_back(name + " is not exported by the built " + import.dll);
        for (const Target& t : Targets()) {
            const int first = t.nt ? entry->firstNt : entry->first9x;
            int target = 0;
            Rank(t.nt ? kNt : k9x, t.version, target);
            if (first < 0 || first > target) faults.push_back(name + " is missing on " + t.name);
        }
    }
    return faults;
}

}  // namespace imports
