// /export and /import as the running copy carries them out: the store's work on the file's
// text, and what goes back to the start that carries the command (which reads and writes
// the file itself).
#pragma once
#include <string>

#include "monitor/app/commands/app_command.h"

class ProfileStore;

namespace transfer_command {

// Runs /export or /import on `store`; `fileText` is the text of the file to import. `reply`
// gets the text of the exported file when it is done, else what the carrying start says on
// its standard output (the import's report, the reason for a refusal).
app_command::Result Run(ProfileStore& store, const app_command::Command& command, const std::string& fileText,
                        std::string& reply);

}  // namespace transfer_command
