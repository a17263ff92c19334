// Feeds arbitrary bytes as a command line to the parser.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "monitor/app/commands/app_command.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string args(reinterpret_cast<const char*>(data), size);
    args = args.substr(0, args.find('\0'));  // where a command line ends
    app_command::Command command = app_command::Parse(args);
    using app_command::Kind;
    if (command.kind == Kind::Apply && (command.profile.empty() || command.profile.size() > size)) abort();
    if (command.kind == Kind::Show && (command.page < 0 || command.page > 4)) abort();
    if (command.kind != Kind::Show && command.page != -1) abort();
    // What it accepts travels as text to the running copy and must arrive the same.
    if (command.kind != Kind::None && command.kind != Kind::Invalid) {
        app_command::Command again;
        std::string file;
        if (!app_command::OpenPayload(app_command::Payload(command, "[x]"), again, file)) return 0;  // too long
        if (file != (command.kind == Kind::Import ? "[x]" : "")) abort();
        if (again.kind != command.kind || again.profile != command.profile ||
            again.file != command.file || again.password != command.password ||
            again.replace != command.replace || again.page != command.page ||
            again.radioOn != command.radioOn || again.autoOn != command.autoOn)
            abort();
    }
    return 0;
}
