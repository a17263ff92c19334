// Drivora: the adapter's hidden install and removal helper.
#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "framework/app.h"
#include "installer/dispatcher.h"
#include "installer/app/main_frame.h"

namespace drivora {

class CInstallerApp : public fw::App {
protected:
    bool InitInstance() override {
        InitCommonControls();
        frame_ = std::make_unique<CMainFrame>();
        if (!frame_->CreateFrame()) return false;  // nothing to report: the frame is never seen
        SetMainWindow(frame_->Handle());
        ShowWindow(frame_->Handle(), SW_HIDE);
        UpdateWindow(frame_->Handle());
        return true;
    }
    // A quiet run tells the setup its outcome; every other run ends with 0. A run whose frame
    // could not be made did nothing: under /Quiet that is a failure, the driver not in place.
    int ExitInstance(int) override {
        if (frame_ && frame_->Walked()) return frame_->ExitStatus();
        return QuietRequested(GetCommandLineA()) ? kExitFailed | kExitDriverFailed : 0;
    }

private:
    std::unique_ptr<CMainFrame> frame_;
};

}  // namespace drivora

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    drivora::CInstallerApp app;
    return app.Run(instance);
}
