// Commands a start of Skyvane carries on its command line (/apply NAME, /radio on|off,
// /auto on|off, /show PAGE, /exit, /export FILE, /import FILE), how the running copy is told of one and
// the exit codes of the start that handed it over. UI-free.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace app_command {

enum class Kind { None, Apply, Radio, Auto, Show, Exit, Export, Import, Invalid };

struct Command {
    Kind kind = Kind::None;
    std::string profile;   // Apply
    bool radioOn = false;  // Radio
    bool autoOn = false;   // Auto: connect automatically to the preferred networks
    int page = -1;         // Show: 0 Configuration, 1 Status, 2 IP Settings, 3 Site Survey, 4 About
    std::string file;      // Export, Import
    std::string password;  // Export, Import: /password TEXT
    bool replace = false;  // Import: /replace
};

// `args` is the command line without the program name. Switches and words are matched
// without regard to case; a name with spaces is quoted ("My Home").
Command Parse(const std::string& args);
// The command line that parses back to `command`: every value quoted.
std::string Text(const Command& command);

// The exit code of a start that carried a command.
enum Result : int {
    kDone = 0,
    kBadCommand = 1,     // not a command Skyvane knows
    kNoAdapter = 2,      // /apply, /radio, /auto: no adapter
    kNoSuchProfile = 3,  // /apply: the adapter has no profile of that name
    kRefused = 4,        // /apply: the profile's settings failed the checks; /radio: the driver kept its state
    kNotRunning = 5,     // /exit: no Skyvane was running
    kNoAnswer = 6,       // the running copy did not answer, or did not end after /exit
    kExists = 7,         // /import: a profile of that name exists (nothing imported)
    kBadFile = 8,        // /export, /import: the file cannot be written or read, or is malformed
    kWrongPassword = 9,  // /import: the file's secrets need another password
    kKeysNeeded = 10,    // /import: done, but some profiles need their keys typed again
    kChanged = 11,       // /import: the file was changed after it was written (nothing imported)
    kLastResult = kChanged,
};

// The command travels as its command-line text in a WM_COPYDATA message with this tag; for
// /import the file's text follows a NUL. The start that carries the command reads and writes
// the file: the running copy never opens a path another process names. Longer texts are
// refused.
constexpr uint32_t kCopyDataTag = 0x53594B56;
constexpr size_t kMaxCommandBytes = 1024;
constexpr size_t kMaxFileBytes = 1 << 20;
std::string Payload(const Command& command, const std::string& fileText);
// False when `data` is too long or carries no command Skyvane knows.
bool OpenPayload(const std::string& data, Command& command, std::string& fileText);
// The running copy answers a start that gives its own window as the message's wParam with
// a WM_COPYDATA of this tag before it returns: the text of an /export, the report of an
// /import.
constexpr uint32_t kReplyTag = 0x53594B52;

// The running copy's answer to WM_COPYDATA carries a result; a window that does not
// understand the message answers 0, which is no result.
constexpr intptr_t kReplyBase = 0x5300;
inline intptr_t ReplyFor(Result result) { return kReplyBase + result; }
inline Result ResultOfReply(intptr_t reply) {
    if (reply < kReplyBase + kDone || reply > kReplyBase + kLastResult) return kNoAnswer;
    return static_cast<Result>(reply - kReplyBase);
}

}  // namespace app_command
