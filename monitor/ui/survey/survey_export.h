// The Site Survey list as text: CSV lines (RFC 4180) for the export, and one row as a line
// of tab-separated cells for the clipboard. UI-free.
#pragma once
#include <string>
#include <vector>

namespace survey {

// One CSV record ending in CR LF. A field beginning with = + - @, TAB or CR, which a
// spreadsheet would take for a formula, gets a ' in front. A field holding a comma, a
// double quote, CR or LF is enclosed in double quotes, its quotes doubled; bytes are
// written as they are.
std::string CsvLine(const std::vector<std::string>& fields);

// The cells joined by tabs, ending in CR LF; a tab or line break inside a cell becomes a space.
std::string TabLine(const std::vector<std::string>& cells);

}  // namespace survey
