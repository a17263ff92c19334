// The History window: the link events, newest first, in a resizable window with an export
// to CSV and a copy of the diagnostics for a support request.
#pragma once
#include <windows.h>

#include <string>

#include "framework/window.h"

class CHistoryWindow : public fw::Window {
public:
    // Opens the window, or brings it forward when it is open.
    void Open();
    // Shows the history again when the window is open.
    void Refresh();

    // The history as CSV (RFC 4180): a heading, then one record per event, newest first.
    static std::string CsvText();
    // What "Copy diagnostics" puts on the clipboard.
    static std::string DiagnosticsText();

    static constexpr int kListId = 100;
    static constexpr int kExportId = 101;
    static constexpr int kCopyId = 102;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    LRESULT OnCreate();
    void OnDestroy();
    void OnSize(int width, int height);
    void OnCommand(int id);
    void OnMinMaxInfo(MINMAXINFO& info);
    void ChooseExportFile();
    void CopyDiagnostics();

    HWND list_ = nullptr;
    HWND export_ = nullptr;
    HWND copy_ = nullptr;
};
