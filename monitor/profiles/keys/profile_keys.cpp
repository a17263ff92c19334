#include "monitor/profiles/keys/profile_keys.h"

namespace profile_keys {

const char* ModelRoot(int model) { return model == 54 ? kRoot54 : kRoot108; }

std::optional<std::string> ProfileKeyPath(int model, const std::string& name) {
    std::string path = std::string(ModelRoot(model)) + name;
    if (path.size() + 1 > kPathBuffer || name.find('\0') != std::string::npos)
        return std::nullopt;
    return path;
}

bool NameFits(const std::string& name) { return name.size() <= kMaxNameChars; }

}  // namespace profile_keys
