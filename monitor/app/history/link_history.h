// The link history: what each poll tick saw becomes events (link up, link down with its
// cause, address change), kept newest last in a bounded list that is stored as text.
// UI-free.
#pragma once
#include <cstddef>
#include <deque>
#include <string>
#include <vector>

namespace link_history {

// What one poll tick saw of the adapter.
struct Reading {
    bool present = false;   // an adapter answered
    bool radioOff = false;
    bool connected = false;
    bool applying = false;  // the program handed the adapter a profile a moment ago
    std::string ssid;
    std::string bssid;      // "" when the driver does not say
    int channel = 0;
    int signal = 0;         // percent
    int rateMbps = 0;
    std::string address;    // the adapter's IP address, "" while unknown
};

// AutoConnect: what automatic connection found for one profile (see auto_connect_choice.h).
enum class Kind { LinkUp = 1, LinkDown = 2, AddressChanged = 3, AutoConnect = 4 };
enum class Cause { None = 0, RadioOff = 1, AdapterRemoved = 2, SignalLost = 3, Applied = 4 };

struct Event {
    std::string time;       // local time, "YYYY-MM-DD hh:mm:ss"
    Kind kind = Kind::LinkUp;
    Cause cause = Cause::None;
    std::string ssid;
    std::string bssid;
    int channel = 0;
    int signal = 0;         // for a lost association: the last signal seen while connected
    int rateMbps = 0;
    std::string address;
    // AutoConnect only: the profile, what was found and, where something differs, what was
    // seen and what the profile wants.
    std::string profile;
    int finding = 0;
    int seen = 0;
    int wanted = 0;
};

// Turns successive readings into events. The first reading only sets the starting point:
// a link that was up before the watch began is not an event.
class Detector {
public:
    // The event the change to `now` makes, if any; `event.time` is left empty.
    bool Next(const Reading& now, Event& event);

private:
    bool started_ = false;
    Reading last_;
};

// The stored text never exceeds this many bytes: under the 16,300-byte value limit of the
// registry of Windows 95, 98 and Me.
constexpr size_t kMaxStoredBytes = 16000;
constexpr size_t kCapacity = 110;  // at most about 140 bytes each

class History {
public:
    // Adds `event`, dropping the oldest beyond the capacity.
    void Add(const Event& event);
    const std::deque<Event>& Events() const { return events_; }  // oldest first
    // The newest `count` events, newest first.
    std::vector<Event> Newest(size_t count) const;

    // One line per event, oldest first; the oldest are left out until it fits kMaxStoredBytes.
    std::string Save() const;
    // Replaces the events with those of `text`; lines that do not read back whole are skipped.
    void Load(const std::string& text);

private:
    std::deque<Event> events_;
};

// The CSV fields of an event; `description` is its text as the window shows it.
std::vector<std::string> CsvFields(const Event& event, const std::string& description);

}  // namespace link_history
