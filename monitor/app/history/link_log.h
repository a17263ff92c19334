// Where the link history and the notice setting are kept (the user's own key under
// HKEY_CURRENT_USER, so every Windows keeps them per user without a profile folder), and
// the texts events show as.
#pragma once
#include <string>

#include "monitor/adapter/status_record.h"
#include "monitor/app/history/link_history.h"

namespace link_log {

link_history::History Load();
void Save(const link_history::History& history);
// The local time as events keep it.
std::string Now();
// What the event says, as a notice, the History window and the export show it.
std::string Describe(const link_history::Event& event);
// The channel number of the connection `status` describes, 2.4 or 5 GHz.
int ChannelOf(const StatusRecord& status);
// Notices are on unless the user turned them off.
bool NoticesOn();
void RememberNotices(bool on);

}  // namespace link_log
