#include "import_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using Strings = std::vector<std::string>;
using Dll = std::pair<std::string, Strings>;  // name, functions ("#N": by ordinal)

const uint32_t kSectionRva = 0x1000, kSectionFile = 0x200;

void Put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}
void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    Put16(b, at, v & 0xffff);
    Put16(b, at + 2, v >> 16);
}

// A PE32 file laid out as the linker lays ours out: headers, then one section holding the
// import descriptors, the name thunks and the names.
std::vector<uint8_t> Pe32(const std::vector<Dll>& dlls, uint16_t subsystem = 0x0004, uint16_t os = 0x0004,
                          bool delayLoads = false) {
    std::vector<uint8_t> b(kSectionFile);
    b[0] = 'M', b[1] = 'Z';
    Put32(b, 0x3c, 0x40);
    Put32(b, 0x40, 0x4550);
    Put16(b, 0x44, 0x14c);
    Put16(b, 0x46, 1);
    Put16(b, 0x54, 224);
    const size_t opt = 0x58;
    Put16(b, opt, 0x10b);
    Put16(b, opt + 40, os & 0xff), Put16(b, opt + 42, os >> 8);
    Put16(b, opt + 48, subsystem & 0xff), Put16(b, opt + 50, subsystem >> 8);
    Put32(b, opt + 92, 16);
    Put32(b, opt + 104, kSectionRva);

    // Section contents: descriptors, then each DLL's thunks, then names.
    std::vector<uint8_t> s((dlls.size() + 1) * 20);
    std::vector<std::pair<size_t, std::string>> names;  // where to write an RVA, text (hint first)
    for (size_t d = 0; d < dlls.size(); ++d) {
        const size_t thunks = s.size();
        Put32(s, d * 20, kSectionRva + static_cast<uint32_t>(thunks));
        s.resize(s.size() + (dlls[d].second.size() + 1) * 4);
        for (size_t f = 0; f < dlls[d].second.size(); ++f) {
            const std::string& fn = dlls[d].second[f];
            if (fn[0] == '#') Put32(s, thunks + f * 4, 0x80000000u | std::stoul(fn.substr(1)));
            else names.push_back({thunks + f * 4, std::string(2, '\0') + fn});
        }
        names.push_back({d * 20 + 12, dlls[d].first});
    }
    if (delayLoads) Put32(b, opt + 96 + 13 * 8, kSectionRva);  // a delay-load import directory
    for (const auto& [slot, text] : names) {
        Put32(s, slot, kSectionRva + static_cast<uint32_t>(s.size()));
        s.insert(s.end(), text.begin(), text.end());
        s.push_back(0);
    }
    const size_t table = opt + 224;
    Put32(b, table + 8, static_cast<uint32_t>(s.size()));
    Put32(b, table + 12, kSectionRva);
    Put32(b, table + 16, static_cast<uint32_t>(s.size()));
    Put32(b, table + 20, kSectionFile);
    b.insert(b.end(), s.begin(), s.end());
    return b;
}

Strings Names(const pe::Image& image) {
    Strings out;
    for (const pe::Import& i : image.imports) out.push_back(i.dll + "!" + i.function);
    return out;
}

}  // namespace

TEST(PeImage, ReadsHeaderVersionsAndEveryImportByNameAndOrdinal) {
    pe::Image image;
    std::string error;
    ASSERT_TRUE(pe::ReadImage(Pe32({{"KERNEL32.dll", {"GetTickCount", "#17"}}, {"msvcrt.dll", {"malloc"}}}, 0x0105,
                                   0x0004),
                              image, error))
        << error;
    EXPECT_EQ(0x14c, image.machine);
    EXPECT_EQ(5, image.subsystemMajor);
    EXPECT_EQ(1, image.subsystemMinor);
    EXPECT_EQ(4, image.osMajor);
    EXPECT_EQ(0, image.osMinor);
    EXPECT_EQ((Strings{"KERNEL32.dll!GetTickCount", "KERNEL32.dll!#17", "msvcrt.dll!malloc"}), Names(image));
}

TEST(PeImage, RefusesDamagedFilesWithoutReadingPastTheirEnd) {
    const std::vector<uint8_t> good = Pe32({{"KERNEL32.dll", {"GetTickCount"}}});
    const uint32_t sectionSize = static_cast<uint32_t>(good.size() - kSectionFile);
    const size_t sectionTable = 0x58 + 224;
    auto patched = [&](size_t at, uint32_t value) {
        std::vector<uint8_t> b = good;
        Put32(b, at, value);
        return b;
    };
    const std::pair<std::vector<uint8_t>, std::string> cases[] = {
        {{}, "no MZ header"},
        {{good.begin(), good.begin() + 0x100}, "optional header cut short"},
        {{good.begin(), good.end() - 5}, "a section's data lies outside the file"},
        {patched(0x58, 0x20b), "not a 32-bit (PE32) image"},
        {patched(0x58 + 104, 0x9000), "import table outside every section"},
        {patched(0x58 + 104, kSectionRva + sectionSize - 10), "import table runs past the end of the file"},
        {patched(sectionTable + 20, 0x7fffff00), "a section's data lies outside the file"},
        {patched(kSectionFile + 12, 0x8000), "an imported DLL's name is unreadable"},
        {patched(kSectionFile + 40, 0x8000), "a function name imported from KERNEL32.dll is unreadable"},
    };
    for (const auto& [bytes, expected] : cases) {
        pe::Image image;
        std::string error;
        EXPECT_FALSE(pe::ReadImage(bytes, image, error)) << expected;
        EXPECT_EQ(expected, error);
    }
}

TEST(ImportRules, NamesBinaryFunctionAndEveryTargetThatLacksIt) {
    std::vector<imports::Entry> list;
    std::string error;
    ASSERT_TRUE(imports::ParseAllowList("# DLL function 9x NT\n"
                                        "KERNEL32.dll GetTickCount   95 NT3.1\n"
                                        "kernel32.dll GetTickCount64 -  Vista  # Vista's\n"
                                        "KERNEL32.dll TryEnterCriticalSection - NT4\n"
                                        "KERNEL32.dll AddVectoredExceptionHandler - XP\n"
                                        "\n"
                                        "SHELL32.dll  SHGetFolderPathA Me 2000\n"
                                        "msvcrt.dll   ___lc_codepage_func - XP\n"
                                        "ours.dll     *  95 NT3.1\n",
                                        list, error))
        << error;
    ASSERT_EQ(7u, list.size());
    std::map<std::string, pe::Image> built;  // what the DLLs we build export
    built["ours.dll"].exports = {"Any"};

    struct Case {
        std::vector<Dll> dlls;
        uint16_t subsystem, os;
        Strings faults;
        bool delayLoads = false;
    };
    const Case cases[] = {
        {{{"KERNEL32.dll", {"GetTickCount"}}, {"SHELL32.dll", {"SHGetFolderPathA"}}, {"OURS.DLL", {"Any", "Gone"}}},
         0x0004, 0x0004, {
             "a.exe: SHELL32.dll!SHGetFolderPathA is missing on Windows 98 SE",
             "a.exe: OURS.DLL!Gone is not exported by the built OURS.DLL"}},
        {{{"KERNEL32.DLL", {"GetTickCount64", "TryEnterCriticalSection", "AddVectoredExceptionHandler"}}},
         0x0004, 0x0004, {
             "a.exe: KERNEL32.DLL!GetTickCount64 is missing on Windows 98 SE",
             "a.exe: KERNEL32.DLL!GetTickCount64 is missing on Windows Me",
             "a.exe: KERNEL32.DLL!GetTickCount64 is missing on Windows 2000 SP4",
             "a.exe: KERNEL32.DLL!GetTickCount64 is missing on Windows XP SP2",
             "a.exe: KERNEL32.DLL!TryEnterCriticalSection is missing on Windows 98 SE",
             "a.exe: KERNEL32.DLL!TryEnterCriticalSection is missing on Windows Me",
             "a.exe: KERNEL32.DLL!AddVectoredExceptionHandler is missing on Windows 98 SE",
             "a.exe: KERNEL32.DLL!AddVectoredExceptionHandler is missing on Windows Me",
             "a.exe: KERNEL32.DLL!AddVectoredExceptionHandler is missing on Windows 2000 SP4"}},
        {{{"msvcrt.dll", {"___lc_codepage_func", "#12"}}, {"USER32.dll", {"GetTickCount"}}}, 0x0105, 0x0006, {
             "a.exe: subsystem version 5.1, every target needs 4.0",
             "a.exe: OS version 6.0, every target needs 4.0",
             "a.exe: has delay-load imports, which this check cannot see: use GetProcAddress",
             "a.exe: msvcrt.dll!___lc_codepage_func is missing on Windows 98 SE",
             "a.exe: msvcrt.dll!___lc_codepage_func is missing on Windows Me",
             "a.exe: msvcrt.dll!___lc_codepage_func is missing on Windows 2000 SP4",
             "a.exe: msvcrt.dll!#12 is not in the allow-list: not known to load on any target",
             "a.exe: USER32.dll!GetTickCount is not in the allow-list: not known to load on any target"}, true},
    };
    for (const Case& c : cases) {
        pe::Image image;
        ASSERT_TRUE(pe::ReadImage(Pe32(c.dlls, c.subsystem, c.os, c.delayLoads), image, error)) << error;
        EXPECT_EQ(c.faults, imports::Check("a.exe", image, list, built));
    }
}

TEST(ImportRules, RefusesMalformedLinesNamingThem) {
    const std::pair<const char*, const char*> cases[] = {
        {"KERNEL32.dll GetTickCount 95\n", "line 1: want DLL, function, first 9x, first NT"},
        {"# ok\nKERNEL32.dll GetTickCount 95 NT3.1 extra\n", "line 2: want DLL, function, first 9x, first NT"},
        {"KERNEL32.dll GetTickCount 2000 2000\n", "line 1: unknown Windows version"},
        {"KERNEL32.dll GetTickCount 95 Win7\n", "line 1: unknown Windows version"},
        {"KERNEL32.dll GetTickCount 95 NT3.1\nkernel32.dll GetTickCount 98 2000\n",
         "line 2: kernel32.dll!GetTickCount is listed twice"},
    };
    for (const auto& [text, expected] : cases) {
        std::vector<imports::Entry> list;
        std::string error;
        EXPECT_FALSE(imports::ParseAllowList(text, list, error)) << text;
        EXPECT_EQ(expected, error);
    }
}
