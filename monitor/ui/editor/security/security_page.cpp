#include "monitor/ui/editor/security/security_page.h"

#include <cstring>

#include "athcfg/athcfg.h"
#include "framework/text/text.h"
#include "monitor/app/monitor_app.h"
#include "monitor/profiles/profile_rules.h"
#include "monitor/res/resource.h"
#include "monitor/ui/editor/security/cert_boxes.h"

using namespace security_form;

CSecurityPage theSecurityPage;

namespace {

const int kKeyEdits[4] = {IDC_SEC_KEY1, IDC_SEC_KEY2, IDC_SEC_KEY3, IDC_SEC_KEY4};
const int kRowLabels[6] = {IDC_SEC_ROW1_LABEL, IDC_SEC_ROW2_LABEL, IDC_SEC_ROW3_LABEL,
                           IDC_SEC_ROW4_LABEL, IDC_SEC_ROW5_LABEL, IDC_SEC_ROW6_LABEL};
const char* const kEapNames[4] = {"TLS", "TTLS", "PEAP", "LEAP"};

// The profile the page edits; none without an adapter, so then nothing is written.
ACProfile* EditProfile() { return theApp.adapterPresent ? theApp.editProfile : nullptr; }

ACString& Key(ACProfile& p, int index) {
    switch (index) {
    case 0: return p.wepKey1;
    case 1: return p.wepKey2;
    case 2: return p.wepKey3;
    default: return p.wepKey4;
    }
}

}  // namespace

CSecurityPage::CSecurityPage() : fw::Dialog(IDD_SECURITY_PAGE) {}

INT_PTR CSecurityPage::DialogProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: return OnInitDialog();
    case WM_COMMAND: return OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
    case WM_DESTROY: OnDestroy(); return FALSE;
    }
    return FALSE;
}

BOOL CSecurityPage::OnInitDialog() {
    ACProfile* p = EditProfile();
    AddString(IDC_SEC_KIND, fw::LoadText(IDS_SECURITY_NONE));
    Select(IDC_SEC_KIND, 0);
    if (!p) {
        Enable(IDC_SEC_KIND, false);
        return FALSE;
    }
    const bool infrastructure = p->infrastructure == 1;
    if (infrastructure) AddString(IDC_SEC_KIND, fw::LoadText(IDS_SEC_WPA_PSK_KIND));
    AddString(IDC_SEC_KIND, fw::LoadText(IDS_SECURITY_WEP));
    if (infrastructure) AddString(IDC_SEC_KIND, fw::LoadText(IDS_SEC_WPA_KIND));

    AddString(IDC_SEC_AUTH, fw::LoadText(IDS_OPEN));
    AddString(IDC_SEC_AUTH, fw::LoadText(IDS_SHARED));
    AddString(IDC_SEC_KEY_FORMAT, fw::LoadText(IDS_SEC_HEX));
    AddString(IDC_SEC_KEY_FORMAT, fw::LoadText(IDS_SEC_ASCII));
    for (int i = 0; i < 4; ++i) AddString(IDC_SEC_DEFAULT_KEY, fw::LoadText(IDS_SEC_KEY1 + i));
    AddString(IDC_SEC_KEY_LENGTH, fw::LoadText(IDS_SEC_64BIT));
    AddString(IDC_SEC_KEY_LENGTH, fw::LoadText(IDS_SEC_128BIT));
    for (int id : {IDC_SEC_AUTH, IDC_SEC_KEY_FORMAT, IDC_SEC_DEFAULT_KEY, IDC_SEC_KEY_LENGTH}) Select(id, 0);
    if (infrastructure) {
        for (int box : {IDC_SEC_WPA_EAP, IDC_SEC_X_EAP}) {
            for (const char* name : kEapNames) AddString(box, name);
            Select(box, 0);
        }
    } else if (AdHocMustDropKind(p->eapMethod, p->wpa)) {
        p->eapMethod = kNoEap;
        p->wpa = 0;
    }
    ShowProfile();
    SendDlgItemMessageA(Handle(), IDC_SEC_PSK, EM_LIMITTEXT, 64, 0);
    // The store keeps at most this many characters of a passphrase.
    SendDlgItemMessageA(Handle(), IDC_SEC_PASSPHRASE, EM_LIMITTEXT, profile_rules::kMaxPassphraseChars, 0);
    return FALSE;  // the focus stays with the sub-tabs
}

BOOL CSecurityPage::OnCommand(int id, int code, HWND control) {
    // Enter and Escape reach a page as IDOK and IDCANCEL: neither does anything here.
    if (id == IDOK || id == IDCANCEL) return TRUE;
    if (code == EN_UPDATE) {
        switch (id) {
        case IDC_SEC_KEY1: OnKeyUpdate(0, control); return TRUE;
        case IDC_SEC_KEY2: OnKeyUpdate(1, control); return TRUE;
        case IDC_SEC_KEY3: OnKeyUpdate(2, control); return TRUE;
        case IDC_SEC_KEY4: OnKeyUpdate(3, control); return TRUE;
        case IDC_SEC_PASSPHRASE: OnPassphraseUpdate(); return TRUE;
        case IDC_SEC_PSK: OnPskUpdate(); return TRUE;
        case IDC_SEC_WPA_PASSWORD: OnWpaPasswordUpdate(); return TRUE;
        case IDC_SEC_X_PASSWORD: On8021xPasswordUpdate(); return TRUE;
        case IDC_SEC_WPA_USER:
        case IDC_SEC_X_USER: OnUserUpdate(id); return TRUE;
        case IDC_SEC_WPA_SERVER:
        case IDC_SEC_X_SERVER:
        case IDC_SEC_WPA_LOGIN:
        case IDC_SEC_X_LOGIN:
        case IDC_SEC_WPA_OUTER_LOGIN:
        case IDC_SEC_WPA_LEAP_DOMAIN: OnTextUpdate(id); return TRUE;
        }
        return FALSE;
    }
    if (id == IDC_SEC_USE_PASSPHRASE) {
        if (code == BN_CLICKED) OnUsePassphraseClicked();
        return TRUE;
    }
    if (code != CBN_SELCHANGE) return FALSE;
    ACProfile* p = EditProfile();
    if (!p) return TRUE;
    switch (id) {
    case IDC_SEC_KIND: OnKindChanged(); return TRUE;
    case IDC_SEC_WPA_EAP: OnWpaEapTypeChanged(); return TRUE;
    case IDC_SEC_X_EAP: On8021xEapTypeChanged(); return TRUE;
    case IDC_SEC_KEY_LENGTH:
    case IDC_SEC_KEY_FORMAT: OnKeyLengthOrFormatChanged(); return TRUE;
    case IDC_SEC_DEFAULT_KEY: OnDefaultKeyChanged(); return TRUE;
    case IDC_SEC_AUTH: OnAuthTypeChanged(); return TRUE;
    case IDC_SEC_WPA_ROOT:
    case IDC_SEC_X_ROOT: OnRootChoice(Handle(), id, p, roots_); return TRUE;
    case IDC_SEC_WPA_CLIENT: OnClientChoiceWpa(Handle(), p, personal_); return TRUE;
    case IDC_SEC_X_CLIENT: OnClientChoice8021x(Handle(), p, personal_); return TRUE;
    }
    return FALSE;
}

void CSecurityPage::OnDestroy() {
    roots_.Clear();
    personal_.Clear();
}

// --- Showing the profile

void CSecurityPage::ShowProfile() {
    ACProfile& p = *EditProfile();
    Opening opening = OpeningFor(p.eapMethod, p.wpa, p.infrastructure == 1);
    if (opening.known) {
        // The 802.1x kind has no entry: index 4 leaves the box without a selection.
        Select(IDC_SEC_KIND, opening.securityIndex);
        if (opening.view == View::WpaEap || opening.view == View::Eap8021x) {
            const bool wpaForm = opening.view == View::WpaEap;
            Select(wpaForm ? IDC_SEC_WPA_EAP : IDC_SEC_X_EAP, EapIndexOfMethod(p.eapMethod));
            ShowView(opening.view);
            ShowEapType(wpaForm);
        } else {
            ShowView(opening.view);
        }
    }
    if (p.infrastructure == 1) FillBoxes();
}

void CSecurityPage::FillBoxes() {
    ACProfile* p = EditProfile();
    FillRootBox(Handle(), *p, &roots_);
    FillClientBox(Handle(), p, &personal_);
}

void CSecurityPage::ShowView(View view) {
    ACProfile& p = *EditProfile();
    ApplyForm(FormOf(view, p.eapMethod));

    switch (view) {
    case View::None: break;
    case View::Wep: LoadWep(); break;
    case View::Psk:
        SetText(IDC_SEC_PSK, p.pskPassphrase.c_str());
        ShowSecret(IDC_SEC_PSK, kMaskPsk);
        break;
    case View::WpaEap: LoadEap(); break;
    case View::Eap8021x: {
        const bool leap = p.eapMethod == kLeap;
        SetText(IDC_SEC_X_USER, leap ? p.leapUser.c_str() : p.eapUser.c_str());
        SetText(IDC_SEC_X_PASSWORD, leap ? p.leapPassword.c_str() : p.eapPassword.c_str());
        ShowSecret(IDC_SEC_X_PASSWORD, kMask8021xPassword);
        break;
    }
    }
}

// Shows the form's controls and row labels and hides every other control of the views.
void CSecurityPage::ApplyForm(const Form& form) {
    for (int id : AllFormControls()) Show(id, false);
    for (int row = 0; row < 6; ++row) {
        SetText(kRowLabels[row], form.labels[row] ? fw::LoadText(form.labels[row]) : std::string());
        Show(kRowLabels[row], form.labels[row] != 0);
    }
    for (int id : form.controls) Show(id, true);
}

void CSecurityPage::LoadWep() {
    ACProfile& p = *EditProfile();
    if (p.authMode == 1 || p.authMode == 2) Select(IDC_SEC_AUTH, p.authMode - 1);
    if (p.defaultKey >= 1 && p.defaultKey <= 4) Select(IDC_SEC_DEFAULT_KEY, p.defaultKey - 1);
    if (p.keyIsHex == 1 || p.keyIsHex == 0) {
        Select(IDC_SEC_KEY_FORMAT, p.keyIsHex == 1 ? 0 : 1);
        SetKeyEditsUppercase(p.keyIsHex == 1);
    }
    // Another length leaves the box without a selection and the edits without a limit.
    Select(IDC_SEC_KEY_LENGTH, KeyLengthIndex(p.wepKeyBits1));
    LimitKeyEdits(KeyChars(p.wepKeyBits1, p.keyIsHex == 1));
    for (int i = 0; i < 4; ++i) SetText(kKeyEdits[i], Key(p, i).c_str());
    SetText(IDC_SEC_PASSPHRASE, theApp.editPassphrase);

    const bool usePassphrase = !theApp.editPassphrase.empty();
    CheckDlgButton(Handle(), IDC_SEC_USE_PASSPHRASE, usePassphrase ? BST_CHECKED : BST_UNCHECKED);
    for (int i = 0; i < 4; ++i) {
        Enable(kKeyEdits[i], !usePassphrase);
        ShowSecret(kKeyEdits[i], kMaskKey1 + i);
    }
    Enable(IDC_SEC_PASSPHRASE, usePassphrase);
    ShowSecret(IDC_SEC_PASSPHRASE, kMaskPassphrase);
}

void CSecurityPage::LoadEap() {
    ACProfile& p = *EditProfile();
    FillDefaultNames(p);
    const bool leap = p.eapMethod == kLeap;
    SetText(IDC_SEC_WPA_USER, leap ? p.leapUser.c_str() : p.eapUser.c_str());
    SetText(IDC_SEC_WPA_PASSWORD, leap ? p.leapPassword.c_str() : p.eapPassword.c_str());
    SetText(IDC_SEC_WPA_OUTER_LOGIN, p.loginName.c_str());
    SetText(IDC_SEC_WPA_LEAP_DOMAIN, p.leapDomain.c_str());
    ShowSecret(IDC_SEC_WPA_PASSWORD, WpaPasswordMask(p.eapMethod));
}

// The EAP type of the WPA form (1006) or the 802.1x form (1002) takes effect.
void CSecurityPage::ShowEapType(bool wpaForm) {
    ACProfile& p = *EditProfile();
    const int method = EapMethodOfIndex(Selection(wpaForm ? IDC_SEC_WPA_EAP : IDC_SEC_X_EAP));
    if (method < 0) return;
    p.eapMethod = method;
    p.wpa = wpaForm ? 1 : 0;

    const View view = wpaForm ? View::WpaEap : View::Eap8021x;
    const Form form = FormOf(view, method);
    ApplyForm(form);
    Enable(wpaForm ? IDC_SEC_WPA_EAP : IDC_SEC_X_EAP, form.eapBoxEnabled);
    Enable(wpaForm ? IDC_SEC_WPA_ROOT : IDC_SEC_X_ROOT, form.rootEnabled);
    Enable(wpaForm ? IDC_SEC_WPA_CLIENT : IDC_SEC_X_CLIENT, form.clientEnabled);

    if (wpaForm && method == kTls) FillClientBox(Handle(), &p, &personal_);
    if (wpaForm && (method == kTtls || method == kPeap)) {
        if (p.loginName.empty()) SetText(IDC_SEC_WPA_OUTER_LOGIN, p.defaultUserName.c_str());
        p.loginName = Text(IDC_SEC_WPA_OUTER_LOGIN).c_str();
    }

    const bool leap = method == kLeap;
    const int user = wpaForm ? IDC_SEC_WPA_USER : IDC_SEC_X_USER;
    const int password = wpaForm ? IDC_SEC_WPA_PASSWORD : IDC_SEC_X_PASSWORD;
    SetText(user, leap ? p.leapUser.c_str() : p.eapUser.c_str());
    SetText(password, leap ? p.leapPassword.c_str() : p.eapPassword.c_str());
    ShowSecret(password, wpaForm ? WpaPasswordMask(method) : kMask8021xPassword);
}

// --- Selection changes and clicks

void CSecurityPage::OnKindChanged() {
    ACProfile& p = *EditProfile();
    View view;
    Kind kind;
    const int boxMethod = EapMethodOfIndex(Selection(IDC_SEC_WPA_EAP));
    if (!KindOfIndex(Selection(IDC_SEC_KIND), p.infrastructure == 1, boxMethod, &view, &kind)) return;
    p.eapMethod = kind.eapMethod;
    p.wpa = kind.wpa;
    p.privacy = kind.privacy;
    ShowView(view);
    if (view == View::WpaEap) ShowEapType(true);
}

void CSecurityPage::OnWpaEapTypeChanged() { ShowEapType(true); }

void CSecurityPage::On8021xEapTypeChanged() { ShowEapType(false); }

void CSecurityPage::OnUsePassphraseClicked() {
    if (!EditProfile()) return;
    const bool use = IsDlgButtonChecked(Handle(), IDC_SEC_USE_PASSPHRASE) == BST_CHECKED;
    for (int id : kKeyEdits) Enable(id, !use);
    Enable(IDC_SEC_PASSPHRASE, use);
    if (use) return;
    SetText(IDC_SEC_PASSPHRASE, "");
    theApp.editPassphrase.clear();
}

// Every change of length or format replaces the four keys with zeros of the new size.
void CSecurityPage::OnKeyLengthOrFormatChanged() {
    ACProfile& p = *EditProfile();
    const int bits = KeyBitsOfIndex(Selection(IDC_SEC_KEY_LENGTH));
    const bool hex = FormatIsHex();
    if (bits) {
        LimitKeyEdits(KeyChars(bits, hex));
        const std::string zeros = ZeroKey(bits, hex);
        for (int id : kKeyEdits) SetText(id, zeros);
        p.wepKeyBits1 = p.wepKeyBits2 = p.wepKeyBits3 = p.wepKeyBits4 = bits;
    }
    SetKeyEditsUppercase(hex);
    p.keyIsHex = hex ? 1 : 0;
}

void CSecurityPage::OnDefaultKeyChanged() {
    const int index = Selection(IDC_SEC_DEFAULT_KEY);
    if (index >= 0 && index < 4) EditProfile()->defaultKey = index + 1;
}

void CSecurityPage::OnAuthTypeChanged() {
    const int index = Selection(IDC_SEC_AUTH);
    if (index == 0 || index == 1) EditProfile()->authMode = index + 1;
}

// --- Text updates: sent before the changed text is drawn, also for texts the page sets.

void CSecurityPage::OnKeyUpdate(int keyIndex, HWND edit) {
    ACProfile* p = EditProfile();
    if (!p) return;
    const int id = kKeyEdits[keyIndex];
    const std::string text = Text(id);
    Key(*p, keyIndex) = text.c_str();
    ClearDisplayIfEmpty(id, text, kMaskKey1 + keyIndex);
    if (!FormatIsHex()) return;
    const size_t kept = HexFilterKeeps(text);
    if (kept == text.size()) return;
    // One removal of the whole tail: it sends one new update, which stores the shorter key.
    SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(kept), static_cast<LPARAM>(text.size()));
    SendMessageA(edit, EM_SCROLLCARET, 0, 0);
    SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(""));
}

void CSecurityPage::OnPassphraseUpdate() {
    if (!EditProfile()) return;
    theApp.editPassphrase = Text(IDC_SEC_PASSPHRASE);
    ClearDisplayIfEmpty(IDC_SEC_PASSPHRASE, theApp.editPassphrase, kMaskPassphrase);
}

void CSecurityPage::OnPskUpdate() {
    ACProfile* p = EditProfile();
    if (!p) return;
    const std::string text = Text(IDC_SEC_PSK);
    p->pskPassphrase = text.c_str();
    p->pskBits = static_cast<int>(8 * text.size());
    ClearDisplayIfEmpty(IDC_SEC_PSK, text, kMaskPsk);
}

void CSecurityPage::OnWpaPasswordUpdate() {
    ACProfile* p = EditProfile();
    if (!p) return;
    const std::string text = Text(IDC_SEC_WPA_PASSWORD);
    (p->eapMethod == kLeap ? p->leapPassword : p->eapPassword) = text.c_str();
    ClearDisplayIfEmpty(IDC_SEC_WPA_PASSWORD, text, WpaPasswordMask(p->eapMethod));
}

void CSecurityPage::On8021xPasswordUpdate() {
    ACProfile* p = EditProfile();
    if (!p) return;
    const std::string text = Text(IDC_SEC_X_PASSWORD);
    (p->eapMethod == kLeap ? p->leapPassword : p->eapPassword) = text.c_str();
    ClearDisplayIfEmpty(IDC_SEC_X_PASSWORD, text, kMask8021xPassword);
}

void CSecurityPage::OnUserUpdate(int id) {
    ACProfile* p = EditProfile();
    if (!p) return;
    (p->eapMethod == kLeap ? p->leapUser : p->eapUser) = Text(id).c_str();
}

void CSecurityPage::OnTextUpdate(int id) {
    ACProfile* p = EditProfile();
    if (!p) return;
    const std::string text = Text(id);
    switch (id) {
    case IDC_SEC_WPA_SERVER:
    case IDC_SEC_X_SERVER: p->serverDomainName = text.c_str(); break;
    case IDC_SEC_WPA_LEAP_DOMAIN: p->leapDomain = text.c_str(); break;
    default: p->loginName = text.c_str(); break;  // 1032, 1034, 1025
    }
}

// --- Control helpers

std::string CSecurityPage::Text(int id) const {
    HWND item = Item(id);
    const int length = GetWindowTextLengthA(item);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    GetWindowTextA(item, &text[0], length + 1);
    text.resize(strlen(text.c_str()));
    return text;
}

// By value: the text-update handler may reassign the profile text it came from.
void CSecurityPage::SetText(int id, std::string text) { SetDlgItemTextA(Handle(), id, text.c_str()); }

int CSecurityPage::Selection(int id) const {
    return static_cast<int>(SendDlgItemMessageA(Handle(), id, CB_GETCURSEL, 0, 0));
}

// -1, or an index past the end, leaves the box without a selection.
void CSecurityPage::Select(int id, int index) {
    if (index >= static_cast<int>(SendDlgItemMessageA(Handle(), id, CB_GETCOUNT, 0, 0))) index = -1;
    SendDlgItemMessageA(Handle(), id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void CSecurityPage::AddString(int id, const std::string& text) {
    SendDlgItemMessageA(Handle(), id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void CSecurityPage::Show(int id, bool shown) { ShowWindow(Item(id), shown ? SW_SHOW : SW_HIDE); }

void CSecurityPage::Enable(int id, bool enabled) { EnableWindow(Item(id), enabled ? TRUE : FALSE); }

void CSecurityPage::ShowSecret(int id, int mask) {
    SendDlgItemMessageA(Handle(), id, EM_SETPASSWORDCHAR, theApp.maskFlags[mask] ? 0 : '*', 0);
    InvalidateRect(Item(id), nullptr, TRUE);
}

void CSecurityPage::ClearDisplayIfEmpty(int id, const std::string& text, int mask) {
    if (!text.empty()) return;
    theApp.maskFlags[mask] = 1;
    ShowSecret(id, mask);
}

void CSecurityPage::SetKeyEditsUppercase(bool upper) {
    for (int id : kKeyEdits) {
        LONG_PTR style = GetWindowLongPtrA(Item(id), GWL_STYLE);
        style = upper ? (style | ES_UPPERCASE) : (style & ~static_cast<LONG_PTR>(ES_UPPERCASE));
        SetWindowLongPtrA(Item(id), GWL_STYLE, style);
    }
}

// 0 lifts the limit.
void CSecurityPage::LimitKeyEdits(int chars) {
    for (int id : kKeyEdits) SendDlgItemMessageA(Handle(), id, EM_LIMITTEXT, static_cast<WPARAM>(chars), 0);
}

bool CSecurityPage::FormatIsHex() const { return Selection(IDC_SEC_KEY_FORMAT) == 0; }
