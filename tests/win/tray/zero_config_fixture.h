// A stand-in Wireless Zero Configuration service ("WZCSVC", fake_service.exe) and its
// per-interface flags, for the tray tests on Windows versions that have the service.
#pragma once
#include "tests/support/stand_in_service.h"
#include "tests/win/tray/tray_fixture.h"

namespace zctest {

inline const std::string kFlagsKey =
    "SOFTWARE\\Microsoft\\WZCSVC\\Parameters\\Interfaces\\" + testsim::GuidOf(0);

inline void SetFlags(DWORD flags) {
    HKEY k;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, kFlagsKey.c_str(), 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &k, nullptr));
    RegSetValueExA(k, "ControlFlags", 0, REG_DWORD, reinterpret_cast<BYTE*>(&flags), sizeof flags);
    RegCloseKey(k);
}

inline DWORD Flags() { return testsim::ReadDword(kFlagsKey, "ControlFlags"); }

template <StandInService::Kind kind>
class ServiceTray : public TrayTest {
protected:
    void SetUp() override {
        TrayTest::SetUp();
        ASSERT_TRUE(service.Valid());
    }
    void TearDown() override {
        TrayTest::TearDown();
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kFlagsKey.c_str());
    }
    StandInService service{kind};
};

using ZeroConfigTray = ServiceTray<StandInService::kStoppable>;
using StubbornServiceTray = ServiceTray<StandInService::kRefusesStop>;

}  // namespace zctest
