#include "framework/text/text.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "framework/app.h"

namespace fw {

std::string LoadText(UINT id) {
    HINSTANCE inst = ResourceInstance();
    std::vector<char> buf(256);
    for (;;) {
        int n = LoadStringA(inst, id, buf.data(), static_cast<int>(buf.size()));
        if (n <= 0) return std::string();
        if (n < static_cast<int>(buf.size()) - 1) return std::string(buf.data(), n);
        buf.resize(buf.size() * 2);
    }
}

std::string Format(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    std::string out;
    if (n > 0) {
        out.resize(static_cast<size_t>(n) + 1);
        std::vsnprintf(&out[0], out.size(), fmt, args);
        out.resize(static_cast<size_t>(n));
    }
    va_end(args);
    return out;
}

int MessageBoxText(HWND owner, UINT textId, UINT captionId, UINT flags) {
    return MessageBoxA(owner, LoadText(textId).c_str(), LoadText(captionId).c_str(), flags);
}

}  // namespace fw
