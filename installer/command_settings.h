// The run's command settings: fixed-capacity texts that the command line changes
// and the operations read at the moment they run.
#pragma once
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace drivora {

// A zero-terminated text of at most Capacity - 1 characters. Assign refuses a
// longer value and leaves the text empty, so no later step acts on a stale value.
template <std::size_t Capacity>
class FixedText {
public:
    static constexpr std::size_t kMaxLength = Capacity - 1;

    bool Assign(std::string_view value) {
        text_[0] = '\0';
        if (value.size() > kMaxLength || value.find('\0') != std::string_view::npos) return false;
        std::memcpy(text_, value.data(), value.size());
        text_[value.size()] = '\0';
        return true;
    }
    void Clear() { text_[0] = '\0'; }
    const char* c_str() const { return text_; }
    std::string str() const { return text_; }
    bool empty() const { return text_[0] == '\0'; }
    std::size_t size() const { return std::strlen(text_); }

private:
    char text_[Capacity] = {};
};

struct CommandSettings {
    FixedText<100> deviceId;
    FixedText<200> infPath;
    FixedText<50> infSection;
    FixedText<50> processName;
    FixedText<500> zeroConfigKey;
    FixedText<260> logPath;  // empty: no step log
};

// Windows family codes shared with the monitor.
enum OsCode : int {
    kOsOther = 0,
    kOsWin98 = 1,
    kOsWinMe = 2,
    kOsWin2000 = 4,
    kOsWinXP = 5,
};

constexpr int kServicePackUnknown = -1;

// Everything the dispatcher and the operations share for one run.
struct RunState {
    int osCode = kOsOther;
    int servicePackLevel = kServicePackUnknown;  // set on Windows XP only
    bool win9xFamily = false;                    // top bit of the packed version number
    int adapterPending = 0;
    bool quiet = false;  // messages go to the step log only
    bool failed = false;         // a step failed or a message was raised
    bool restartNeeded = false;  // a device removal asked for a restart
    bool driverFailed = false;   // RunINF or QueryDevice failed: the new driver is not in place
    bool cardAbsent = false;     // QueryDevice found no card: the driver waits for it
    CommandSettings settings;
};

// Exit status of a run. Without /Quiet always 0; with it, bit 0 says a step failed, bit 1
// that Windows must restart to finish a removal, bit 2 that the new driver is not in place
// (bit 0 is then set too), bit 3 that no card is plugged in (no failure: Windows installs
// the driver when the card arrives).
constexpr int kExitFailed = 1;
constexpr int kExitRestartNeeded = 2;
constexpr int kExitDriverFailed = 4;
constexpr int kExitNoCard = 8;
int ExitCode(const RunState& state);

// The settings a run starts with; `windowsDir` is the Windows directory.
void SetDefaultSettings(CommandSettings& s, const std::string& windowsDir);

// OS code from the extended version query; kOsOther for systems not listed.
int OsCodeFromVersion(unsigned major, unsigned minor);
// Service-pack level from the version's service-pack text (first 14 characters count).
int ServicePackLevel(const char* servicePack);

}  // namespace drivora
