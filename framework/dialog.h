// Dialogs from resource templates: modal, or modeless as a child page.
#pragma once
#include <windows.h>

namespace fw {

class Dialog {
public:
    explicit Dialog(UINT templateId) : templateId_(templateId) {}
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Runs the dialog modally; returns the code given to End, or -1 when it could not be created.
    INT_PTR DoModal(HWND parent);
    // Creates the dialog as a modeless window (a page inside a parent).
    bool CreateModeless(HWND parent);
    void End(INT_PTR code);
    void Destroy();

    HWND Handle() const { return hwnd_; }
    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
    UINT TemplateId() const { return templateId_; }

protected:
    // Returns TRUE when the message was handled; the base handles nothing.
    virtual INT_PTR DialogProc(UINT msg, WPARAM wp, LPARAM lp) { return FALSE; }

private:
    static INT_PTR CALLBACK StaticProc(HWND, UINT, WPARAM, LPARAM);

    UINT templateId_;
    HWND hwnd_ = nullptr;
    bool modal_ = false;
};

}  // namespace fw
