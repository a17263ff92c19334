// The run's step log: one line per step with the time, the switch, what the
// step acted on and its outcome, appended to the file the command line names.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "installer/command_settings.h"
#include "installer/system/system_api.h"

namespace drivora {

// A run cannot fill the disk: the file stops growing at this size, and the run goes on
// logging to Drivora.log in the temporary folder.
constexpr std::uint64_t kMaxLogBytes = 1024 * 1024;
// A log found larger than this at open is kept as the old log and a new one begun,
// so the newest runs are always logged.
constexpr std::uint64_t kRotateLogBytes = 512 * 1024;
// One line with its CR LF and terminator.
constexpr std::size_t kLogLineMax = 512;

// "YYYY-MM-DD hh:mm:ss | step | what | outcome" and CR LF into `out`, each field
// cut to its share of the line and line breaks blanked; returns the length.
std::size_t FormatLogLine(char (&out)[kLogLineMax], const LocalTime& time, std::string_view step,
                          std::string_view what, std::string_view outcome);

// Where a full log goes: "Drivora.log" becomes "Drivora.old.log", other names get ".old".
std::string OldLogPath(const std::string& path);

// The command line as one text, arguments with blanks or none quoted.
std::string CommandLineText(const std::vector<std::string>& args);

class StepLog {
public:
    explicit StepLog(SystemApi& api) : api_(api) {}

    // Lines go to `path` from now on; false when it cannot be opened. A large
    // file is first renamed to its old-log name.
    bool Open(const std::string& path);
    // Where a log goes that cannot be opened or is full: Drivora.log in the temporary
    // folder; empty when that folder is unknown.
    std::string FallbackPath();
    // The switch or parameter the following lines belong to.
    void BeginStep(std::string_view name) { step_.Assign(name); }
    void Write(std::string_view what, std::string_view outcome);

private:
    // True when a line of `length` bytes still fits, with room for the line that says the
    // file is full; the comparisons are made so that no sum can wrap.
    bool Fits(std::size_t length);
    void WriteFullNote(const std::string& outcome);

    SystemApi& api_;
    std::unique_ptr<AppendFile> file_;
    std::string path_;
    FixedText<16> step_;
    bool full_ = false;
};

}  // namespace drivora
