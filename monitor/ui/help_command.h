// The command line that opens the model's help file from the current directory. UI-free.
#pragma once
#include <string>

inline std::string HelpCommandLine(const std::string& currentDirectory, int modelNumber) {
    return "Hh.exe " + currentDirectory +
           (modelNumber == 54 ? "\\Wevo_54_Help.chm" : "\\Wevo_108_Help.chm");
}
