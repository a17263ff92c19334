// Shows the Security page once for each of its views, on profiles of the simulated adapter,
// and writes each picture as OUTDIR\security-VIEW.bmp (render_security.sh makes PNGs).
//   render_security OUTDIR
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "athcfg/sim/athsim.h"
#include "monitor/app/monitor_app.h"
#include "tests/win/security/page_host.h"

namespace {

const char kScenario[] =
    "adapter guid={4A1B2C3D-0000-4000-8000-000000000000} subkey=0007 desc=\"Sim WLAN\"\n"
    "profile name=none ssid=Cafe infrastructure=1 privacy=0 eapMethod=0\n"
    "profile name=wep ssid=Library infrastructure=1 privacy=1 eapMethod=7 wpa=0 authMode=1 keyIsHex=1 "
    "defaultKey=1 wepKey1=1234567890 wepKey2=0000000000 wepKey3=0000000000 wepKey4=0000000000 "
    "wepKeyBits1=40 wepKeyBits2=40 wepKeyBits3=40 wepKeyBits4=40\n"
    "profile name=psk ssid=Home infrastructure=1 privacy=1 eapMethod=7 wpa=1 pskPassphrase=secret123\n"
    "profile name=wpa-tls ssid=Campus infrastructure=1 privacy=1 eapMethod=4 wpa=1 defaultUserName=alice\n"
    "profile name=wpa-peap ssid=Campus infrastructure=1 privacy=1 eapMethod=3 wpa=1 eapUser=bob "
    "eapPassword=pw defaultUserName=alice\n"
    "profile name=wpa-leap ssid=Campus infrastructure=1 privacy=1 eapMethod=1 wpa=1 leapUser=carol "
    "leapPassword=pw leapDomain=CORP\n"
    "profile name=8021x-ttls ssid=Lab infrastructure=1 privacy=1 eapMethod=5 wpa=0 eapUser=dave eapPassword=pw\n"
    "profile name=8021x-tls ssid=Lab infrastructure=1 privacy=1 eapMethod=4 wpa=0\n"
    "profile name=adhoc-wep ssid=Party infrastructure=0 privacy=1 eapMethod=7 wpa=0 keyIsHex=0 defaultKey=1 "
    "wepKey1=abcde wepKeyBits1=40 wepKeyBits2=40 wepKeyBits3=40 wepKeyBits4=40\n";

// The window as it stands on the screen, as a 24-bit BMP file.
bool SaveWindow(HWND window, const std::string& path) {
    RECT r;
    GetWindowRect(window, &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);

    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
    std::vector<BYTE> pixels(stride * static_cast<DWORD>(height));
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
              reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    bool ok = std::fwrite(&file, sizeof file, 1, out) == 1 && std::fwrite(&info, sizeof info, 1, out) == 1 &&
              std::fwrite(pixels.data(), pixels.size(), 1, out) == 1;
    return std::fclose(out) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: render_security OUTDIR\n");
        return 2;
    }
    char error[200] = {};
    if (!AthSimInstallScenario(kScenario, error, sizeof error)) {
        std::fprintf(stderr, "scenario: %s\n", error);
        return 1;
    }
    int failures = 0;
    if (theApp.session.Discover() != 1) {
        std::fprintf(stderr, "no adapter\n");
        failures = 1;
    }
    for (const char* name : {"none", "wep", "psk", "wpa-tls", "wpa-peap", "wpa-leap", "8021x-ttls", "8021x-tls",
                             "adhoc-wep"}) {
        if (failures) break;
        theApp.store.LoadProfileForEdit(name);
        theApp.ClearMaskFlags();
        sectest::PageHost page;
        SetWindowPos(page.Host(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        sectest::Pump(400);
        std::string path = std::string(argv[1]) + "\\security-" + name + ".bmp";
        if (SaveWindow(page.Host(), path)) {
            std::printf("%s\n", path.c_str());
        } else {
            std::fprintf(stderr, "could not write %s\n", path.c_str());
            failures = 1;
        }
    }
    theApp.session.CloseSession();
    AthSimClear();
    return failures;
}
