#include "monitor/ui/survey/survey_export.h"

namespace survey {

std::string CsvLine(const std::vector<std::string>& fields) {
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i) line += ',';
        std::string f = fields[i];
        if (!f.empty() && std::string("=+-@\t\r").find(f[0]) != std::string::npos) f.insert(0, 1, '\'');
        if (f.find_first_of(",\"\r\n") == std::string::npos) {
            line += f;
            continue;
        }
        line += '"';
        for (char c : f) {
            if (c == '"') line += '"';
            line += c;
        }
        line += '"';
    }
    return line + "\r\n";
}

std::string TabLine(const std::vector<std::string>& cells) {
    std::string line;
    for (size_t i = 0; i < cells.size(); ++i) {
        if (i) line += '\t';
        for (char c : cells[i]) line += c == '\t' || c == '\r' || c == '\n' ? ' ' : c;
    }
    return line + "\r\n";
}

}  // namespace survey
