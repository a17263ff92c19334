#include "framework/dialog.h"

#include "framework/app.h"

namespace fw {

Dialog::~Dialog() {
    if (hwnd_ && !modal_) Destroy();
}

INT_PTR Dialog::DoModal(HWND parent) {
    modal_ = true;
    INT_PTR r = DialogBoxParamA(ResourceInstance(), MAKEINTRESOURCEA(templateId_), parent,
                                StaticProc, reinterpret_cast<LPARAM>(this));
    modal_ = false;
    return r;
}

bool Dialog::CreateModeless(HWND parent) {
    if (hwnd_) return true;
    modal_ = false;
    return CreateDialogParamA(ResourceInstance(), MAKEINTRESOURCEA(templateId_), parent,
                              StaticProc, reinterpret_cast<LPARAM>(this)) != nullptr;
}

void Dialog::End(INT_PTR code) {
    if (!hwnd_) return;
    if (modal_) EndDialog(hwnd_, code);
    else Destroy();
}

void Dialog::Destroy() {
    if (hwnd_) DestroyWindow(hwnd_);
}

INT_PTR CALLBACK Dialog::StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lp);
        SetWindowLongPtrA(hwnd, DWLP_USER, lp);
        self->hwnd_ = hwnd;
    }
    if (!self) return FALSE;
    INT_PTR r = FALSE;
    try {
        r = self->DialogProc(msg, wp, lp);
    } catch (...) {
        r = FALSE;  // No exception may cross into Windows.
    }
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, DWLP_USER, 0);
        self->hwnd_ = nullptr;
    }
    return r;
}

}  // namespace fw
