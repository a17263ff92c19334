#include "installer/app/info_dialog.h"

namespace drivora {

INT_PTR InfoDialog::DialogProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: return TRUE;
    case WM_COMMAND: return OnCommand(LOWORD(wp));
    default: return FALSE;
    }
}

INT_PTR InfoDialog::OnCommand(WORD id) {
    if (id != IDOK && id != IDCANCEL) return FALSE;
    End(id);
    return TRUE;
}

}  // namespace drivora
