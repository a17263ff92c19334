#include "installer/step_log.h"

#include <algorithm>
#include <cstdio>

#include "installer/text_match.h"

namespace drivora {

namespace {

constexpr std::size_t kStepShare = 15;
constexpr std::size_t kWhatShare = 320;
constexpr std::size_t kOutcomeShare = 120;
static_assert(25 + kStepShare + 3 + kWhatShare + 3 + kOutcomeShare + 2 < kLogLineMax, "a line fits its buffer");

// Appends at most `share` characters of `text`, never past the line's end.
void Put(char (&out)[kLogLineMax], std::size_t& length, std::string_view text, std::size_t share) {
    const std::size_t room = kLogLineMax - 1 - length;
    const std::size_t n = std::min(std::min(text.size(), share), room);
    for (std::size_t i = 0; i < n; ++i) {
        const char c = text[i];
        out[length++] = c == '\r' || c == '\n' || c == '\t' || c == '\0' ? ' ' : c;
    }
    out[length] = '\0';
}

}  // namespace

std::size_t FormatLogLine(char (&out)[kLogLineMax], const LocalTime& time, std::string_view step,
                          std::string_view what, std::string_view outcome) {
    const int n = std::snprintf(out, kLogLineMax, "%04u-%02u-%02u %02u:%02u:%02u | ", time.year % 10000,
                                time.month % 100, time.day % 100, time.hour % 100, time.minute % 100,
                                time.second % 100);
    std::size_t length = n > 0 ? static_cast<std::size_t>(n) : 0;
    Put(out, length, step, kStepShare);
    Put(out, length, " | ", 3);
    Put(out, length, what, kWhatShare);
    Put(out, length, " | ", 3);
    Put(out, length, outcome, kOutcomeShare);
    // The shares leave room for the line end.
    out[length++] = '\r';
    out[length++] = '\n';
    out[length] = '\0';
    return length;
}

std::string OldLogPath(const std::string& path) {
    const std::size_t n = path.size();
    if (n >= 4 && EqualsNoCase(std::string_view(path).substr(n - 4), ".log"))
        return path.substr(0, n - 4) + ".old" + path.substr(n - 4);
    return path + ".old";
}

std::string CommandLineText(const std::vector<std::string>& args) {
    std::string text;
    for (const std::string& arg : args) {
        if (!text.empty()) text += ' ';
        const bool quote = arg.empty() || arg.find_first_of(" \t") != std::string::npos;
        text += quote ? "\"" + arg + "\"" : arg;
    }
    return text;
}

bool StepLog::Open(const std::string& path) {
    std::uint64_t size = 0;
    // A failed rename leaves the file to grow up to its bound.
    if (api_.FileSize(path, &size) && size > kRotateLogBytes) api_.ReplaceFile(path, OldLogPath(path));
    // A file that cannot be opened leaves the current log in place to say so.
    auto file = api_.OpenAppendFile(path);
    if (!file) return false;
    file_ = std::move(file);
    path_ = path;
    full_ = false;
    return true;
}

std::string StepLog::FallbackPath() {
    const std::string temp = api_.TempDirectory();
    return temp.empty() ? std::string() : temp + "Drivora.log";
}

bool StepLog::Fits(std::size_t length) {
    std::uint64_t size = 0;
    // A size that cannot be had counts as full.
    if (!file_->Size(&size)) size = kMaxLogBytes;
    return size <= kMaxLogBytes - kLogLineMax && kMaxLogBytes - kLogLineMax - size >= length;
}

void StepLog::WriteFullNote(const std::string& outcome) {
    char line[kLogLineMax];
    const std::size_t length = FormatLogLine(line, api_.Now(), "log", "this file", outcome);
    std::uint64_t size = 0;
    if (file_->Size(&size) && size <= kMaxLogBytes && kMaxLogBytes - size >= length) file_->Append(line, length);
}

void StepLog::Write(std::string_view what, std::string_view outcome) {
    if (!file_ || full_) return;
    char line[kLogLineMax];
    const std::size_t length = FormatLogLine(line, api_.Now(), step_.c_str(), what, outcome);
    if (Fits(length)) {
        file_->Append(line, length);
        return;
    }
    // Full: the rest of the run goes to the temporary folder's log, unless that is this one.
    full_ = true;
    const std::string fallback = FallbackPath();
    if (fallback.empty() || EqualsNoCase(fallback, path_)) {
        WriteFullNote("full: later steps are not logged");
        return;
    }
    WriteFullNote("full: later steps go to " + fallback);
    const std::string fullPath = path_;
    if (!Open(fallback)) return;
    Write("log " + fullPath, "full: the run goes on here");
    Write(what, outcome);
}

}  // namespace drivora
