// Feeds arbitrary bytes as a command line to the parser.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "monitor/app/app_command.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string args(reinterpret_cast<const char*>(data), size);
    app_command::Command command = app_command::Parse(args);
    using app_command::Kind;
    if (command.kind == Kind::Apply && (command.profile.empty() || command.profile.size() > size)) abort();
    if (command.kind == Kind::Show && (command.page < 0 || command.page > 4)) abort();
    if (command.kind != Kind::Show && command.page != -1) abort();
    return 0;
}
