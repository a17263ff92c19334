#include "monitor/ui/about_page.h"

#include <string>

#include "framework/app.h"
#include "framework/handles.h"
#include "framework/text/text.h"
#include "monitor/adapter/adapter_session.h"
#include "monitor/adapter/zero_config.h"
#include "monitor/res/resource.h"
#include "monitor/ui/banner.h"

CAboutPage theAboutPage;

namespace {
const char kProgramVersion[] = "2.03.000";

// What the page reads of the rest of the program.
int CurrentModelNumber() { return AdapterSession::ModelNumber(); }
int CurrentOsCode() { return zc::CurrentOsCode(); }

bool IsNtAfterXp() {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(&info) || info.dwPlatformId != VER_PLATFORM_WIN32_NT) return false;
    return info.dwMajorVersion > 5 || (info.dwMajorVersion == 5 && info.dwMinorVersion > 1);
}

std::string SystemDirectory() {
    char dir[MAX_PATH] = {};
    UINT n = GetSystemDirectoryA(dir, sizeof dir);
    return n && n < sizeof dir ? std::string(dir, n) : std::string();
}

std::string WindowsDirectory() {
    char dir[MAX_PATH] = {};
    UINT n = GetWindowsDirectoryA(dir, sizeof dir);
    return n && n < sizeof dir ? std::string(dir, n) : std::string();
}

LinkErrorTexts LinkErrors() {
    LinkErrorTexts texts;
    texts.caption = fw::LoadText(IDS_MONITOR_TITLE);
    texts.heading = fw::LoadText(IDS_LINK_ERROR_HEADING);
    texts.unknown = fw::LoadText(IDS_LINK_ERROR_UNKNOWN);
    for (int code = 0; code <= 32; ++code) {
        std::string reason = fw::LoadText(IDS_LINK_REASON_FIRST + code);
        if (!reason.empty()) texts.reasons[code] = reason;
    }
    return texts;
}

}  // namespace

// Where the installed driver's file lies on this Windows version; empty when unknown.
// Windows after XP keep the layout of 2000 and XP.
std::string DriverFilePath() {
    int os = CurrentOsCode();
    if (os == 1 || os == 2) {
        std::string dir = WindowsDirectory();
        return dir.empty() ? dir : dir + "\\SYSTEM32\\DRIVERS\\ar52119x.sys";
    }
    if (os == 4 || os == 5 || (os == 0 && IsNtAfterXp())) {
        std::string dir = SystemDirectory();
        return dir.empty() ? dir : dir + "\\DRIVERS\\ar5211.sys";
    }
    return std::string();
}

// The file version of the driver file at `path` as "a.b.c.d"; empty when the file is
// missing or has no version resource.
std::string DriverVersion(const std::string& path) {
    if (path.empty()) return std::string();
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) return std::string();
    fw::GlobalBlock block(size);
    if (!block || !GetFileVersionInfoA(path.c_str(), 0, size, block.get())) return std::string();
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.get(), "\\", reinterpret_cast<void**>(&info), &length) || !info ||
        length < sizeof *info)
        return std::string();
    return fw::Format("%d.%d.%d.%d", HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                      HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS));
}
CAboutPage::CAboutPage() : fw::Dialog(IDD_ABOUT_PAGE) {}

INT_PTR CAboutPage::DialogProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: return OnInitDialog();
    case WM_PAINT: OnPaint(); return TRUE;
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<INT_PTR>(
            CHyperLink::ColourFromParent(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp)));
    case WM_COMMAND:
        // Enter and Escape reach a page as IDOK and IDCANCEL: neither does anything here.
        return LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL;
    }
    return FALSE;
}

void CAboutPage::AttachControls() {
    link54_.Attach(Item(IDC_ABOUT_LINK_54));
    link108_.Attach(Item(IDC_ABOUT_LINK_108));
    LinkErrorTexts errors = LinkErrors();
    link54_.SetErrorTexts(errors);
    link108_.SetErrorTexts(errors);
}

BOOL CAboutPage::OnInitDialog() {
    AttachControls();
    modelNumber = CurrentModelNumber();
    UINT label = IDS_DRIVER_VERSION_108;
    if (modelNumber == 54) {
        label = IDS_DRIVER_VERSION_54;
        ShowWindow(Item(IDC_ABOUT_LINK_54), SW_SHOW);
    } else {
        ShowWindow(Item(IDC_ABOUT_LINK_108), SW_SHOW);
    }
    std::string program = fw::LoadText(IDS_PROGRAM_VERSION) + kProgramVersion;
    SetDlgItemTextA(Handle(), IDC_ABOUT_PROGRAM_VERSION, program.c_str());
    std::string driver = fw::LoadText(label) + DriverVersion(DriverFilePath());
    SetDlgItemTextA(Handle(), IDC_ABOUT_DRIVER_VERSION, driver.c_str());
    return TRUE;
}

// The banner sits 40 pixels below the top of the page, centred.
void CAboutPage::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Handle(), &ps);
    RECT area;
    GetClientRect(Handle(), &area);
    area.top += 40;
    PaintBanner(dc, modelNumber == 54 ? IDB_ABOUT_BANNER_54 : IDB_ABOUT_BANNER_108, area, true);
    EndPaint(Handle(), &ps);
}
