// The start of Skyvane that carries a command: it hands the command to the running copy and
// waits for the answer, or, as the first copy, runs it itself. For /export and /import it
// reads and writes the file itself, with its own folder, drives and rights, and says on its
// standard output what was done; only text travels to the running copy.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "monitor/app/commands/app_command.h"

namespace command_carrier {

// Hands `command` to the running copy's window `running` and waits for its answer; after
// /exit, also until that copy has ended. The result is the start's exit code.
app_command::Result HandOver(HWND running, const app_command::Command& command);

// /export or /import with the file read and written here: `run` does the work on the file's
// text and gives back the exported text or what to say.
using TransferRun = std::function<app_command::Result(const std::string& fileText, std::string& reply)>;
app_command::Result CarryTransfer(const app_command::Command& command, const TransferRun& run);

}  // namespace command_carrier
