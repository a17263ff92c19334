// The simulated adapter's live state when no process keeps its shared section open:
// this program loads and unloads the library itself, so the section goes away with
// it and the next load fills it again from the registry.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "athcfg/sim/athsim.h"
#include "athcfg/model/live_state.h"
#include "tests/support/program_dir.h"

namespace {

const char kDevice[] = "\\DEVICE\\{A7C3E1D0-5B2F-4C8E-9D61-000000000001}";
const DWORD kTxRate = 0xFF000009;

class Library {
    HMODULE module_ = LoadLibraryA((ProgramDir() + "athcfg11.dll").c_str());  // before the entry points

public:
    Library() = default;
    ~Library() {
        if (module_) FreeLibrary(module_);
    }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    template <class F>
    F Get(const char* name) const {
        return reinterpret_cast<F>(GetProcAddress(module_, name));
    }
    bool Loaded() const { return module_ != nullptr; }

    decltype(&AthSimInstallScenario) install = Get<decltype(&AthSimInstallScenario)>("AthSimInstallScenario");
    decltype(&AthSimClear) clear = Get<decltype(&AthSimClear)>("AthSimClear");
    decltype(&AthSimSetTime) setTime = Get<decltype(&AthSimSetTime)>("AthSimSetTime");
    decltype(&AthSimGetTime) getTime = Get<decltype(&AthSimGetTime)>("AthSimGetTime");
    decltype(&AthSimRecordedCount) recordedCount = Get<decltype(&AthSimRecordedCount)>("AthSimRecordedCount");
    decltype(&AthSimLastRecordedValue) lastValue = Get<decltype(&AthSimLastRecordedValue)>("AthSimLastRecordedValue");
    decltype(&AcsGetOid) getOid = Get<decltype(&AcsGetOid)>("AcsGetOid");
    decltype(&AcsSetOid) setOid = Get<decltype(&AcsSetOid)>("AcsSetOid");

    // The status record's rate word and SSID, "<none>" when the query fails.
    std::string Status() const {
        unsigned char record[280] = {};
        DWORD written = 0, length = sizeof record;
        if (!getOid(kDevice, 0xFF100004, &written, record, &length) || written != sizeof record) return "<none>";
        DWORD rate;
        std::memcpy(&rate, record + 92, 4);
        return std::to_string(rate) + " " + reinterpret_cast<const char*>(record + 154);
    }
};

athsim::LiveSection* MapSection(HANDLE& mapping) {
    mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, athsim::kLiveSectionName);
    if (!mapping) return nullptr;
    return static_cast<athsim::LiveSection*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
}

bool SectionExists() {
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, athsim::kLiveSectionName);
    if (mapping) CloseHandle(mapping);
    return mapping != nullptr;
}

TEST(SectionTest, LiveStateOutlivesTheSectionThroughTheRegistry) {
    {
        Library lib;
        ASSERT_TRUE(lib.Loaded());
        ASSERT_EQ(1, lib.install("adapter\nprofile name=Home ssid=Harbor infrastructure=1\nselect name=Home\n"
                                 "network ssid=Harbor\n", nullptr, 0));
        DWORD rate = 11000, read = 0;
        ASSERT_EQ(1, lib.setOid(kDevice, kTxRate, &read, &rate, sizeof rate));
        ASSERT_EQ(1, lib.setTime(5000));
        EXPECT_EQ("11 Harbor", lib.Status());
        EXPECT_TRUE(SectionExists());
    }
    ASSERT_FALSE(SectionExists());  // nobody keeps it: the next load starts from the registry

    Library lib;
    EXPECT_EQ(5000, lib.getTime());
    EXPECT_EQ("11 Harbor", lib.Status());
    DWORD value = 0;
    EXPECT_EQ(1, lib.recordedCount(0));
    EXPECT_EQ(1, lib.lastValue(0, kTxRate, &value));
    EXPECT_EQ(11000u, value);

    // Contents a process left unsealed (it died while filling them) are filled again.
    HANDLE mapping = nullptr;
    athsim::LiveSection* live = MapSection(mapping);
    ASSERT_NE(nullptr, live);
    live->header.magic = 0;
    live->adapter[0].state.txRate = 0;
    EXPECT_EQ("11 Harbor", lib.Status());
    EXPECT_TRUE(athsim::ValidHeader(live->header));
    UnmapViewOfFile(live);
    CloseHandle(mapping);
    lib.clear();
}

// What `athsim.exe ARGS` printed, run as a process of its own.
std::string AthsimOutput(const std::string& args) {
    const std::string outPath = ProgramDir() + "section_test_athsim.txt";
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE out = CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE) return "<no output file>";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = out;
    si.hStdError = out;
    PROCESS_INFORMATION pi = {};
    std::string line = "\"" + ProgramDir() + "athsim.exe\" " + args;
    BOOL started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    CloseHandle(out);
    if (!started) return "<not started>";
    WaitForSingleObject(pi.hProcess, 60000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    std::string text;
    if (FILE* f = std::fopen(outPath.c_str(), "rb")) {
        char buf[512];
        for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) text.append(buf, n);
        std::fclose(f);
    }
    DeleteFileA(outPath.c_str());
    return text;
}

}  // namespace

// A program that starts after the installing one has ended (Skyvane after the setup) opens
// a new section: it still finds the adapter under the name of the interface it is tied to.
TEST(SectionTest, AFreshProcessFindsATiedAdapterByItsInterface) {
    {
        Library lib;
        ASSERT_TRUE(lib.Loaded());
        ASSERT_EQ(1, lib.install("adapter interface=TiedNic0\n", nullptr, 0));
    }
    ASSERT_FALSE(SectionExists());
    EXPECT_EQ("TiedNic0\r\n", AthsimOutput("nics"));
    Library lib;
    lib.clear();
}
