#include "monitor/ui/editor/security/security_form.h"

#include "monitor/profiles/profile_rules.h"
#include "monitor/res/resource.h"

namespace security_form {

bool IsEap(int method) { return method == kLeap || method == kPeap || method == kTls || method == kTtls; }

Opening OpeningFor(int eapMethod, int wpa, bool infrastructure) {
    if (eapMethod == kNoEap) return {true, View::None, 0};
    if (eapMethod == kStaticKey)
        return wpa ? Opening{true, View::Psk, 1} : Opening{true, View::Wep, infrastructure ? 2 : 1};
    if (IsEap(eapMethod)) return wpa ? Opening{true, View::WpaEap, 3} : Opening{true, View::Eap8021x, 4};
    return {false, View::None, -1};
}

bool AdHocMustDropKind(int eapMethod, int wpa) { return IsEap(eapMethod) || (eapMethod == kStaticKey && wpa); }

bool KindOfIndex(int index, bool infrastructure, int boxEapMethod, View* view, Kind* kind) {
    if (!infrastructure && index == 1) index = 2;  // ad hoc: "None", "WEP"
    else if (!infrastructure && index != 0) return false;
    switch (index) {
    case 0: *view = View::None; *kind = {kNoEap, 0, 0}; return true;
    case 1: *view = View::Psk; *kind = {kStaticKey, 1, 1}; return true;
    case 2: *view = View::Wep; *kind = {kStaticKey, 0, 1}; return true;
    case 3:
        if (!IsEap(boxEapMethod)) return false;
        *view = View::WpaEap;
        *kind = {boxEapMethod, 1, 1};
        return true;
    }
    return false;
}

namespace {
const int kEapOrder[] = {kTls, kTtls, kPeap, kLeap};
}

int EapMethodOfIndex(int index) { return index >= 0 && index < 4 ? kEapOrder[index] : -1; }

int EapIndexOfMethod(int method) {
    for (int i = 0; i < 4; ++i)
        if (kEapOrder[i] == method) return i;
    return -1;
}

Form FormOf(View view, int eapMethod) {
    const bool tls = eapMethod == kTls;
    switch (view) {
    case View::None: return {{0, 0, 0, 0, 0, 0}, {}, false, false, false};
    case View::Wep:
        return {{IDS_SEC_AUTH_TYPE, IDS_SEC_KEY_LENGTH, IDS_SEC_KEY_TYPE, IDS_SEC_ROW_KEY1,
                 IDS_SEC_ROW_KEY2, IDS_SEC_ROW_KEY3},
                {IDC_SEC_AUTH, IDC_SEC_KEY_LENGTH, IDC_SEC_KEY_FORMAT, IDC_SEC_KEY1, IDC_SEC_KEY2,
                 IDC_SEC_KEY3, IDC_SEC_KEY4_LABEL, IDC_SEC_KEY4, IDC_SEC_DEFAULT_KEY_LABEL,
                 IDC_SEC_DEFAULT_KEY, IDC_SEC_USE_PASSPHRASE, IDC_SEC_PASSPHRASE},
                false, false, false};
    case View::Psk: return {{IDS_SEC_PSK, 0, 0, 0, 0, 0}, {IDC_SEC_PSK}, false, false, false};
    case View::WpaEap: {
        Form f{{IDS_SEC_WPA_EAP_TYPE, IDS_SEC_WPA_ROOT, IDS_SEC_WPA_CLIENT, 0, 0, 0},
               {IDC_SEC_WPA_EAP, IDC_SEC_WPA_ROOT, IDC_SEC_WPA_CLIENT},
               true, eapMethod != kLeap, tls};
        if (tls) {
            f.labels[3] = IDS_SEC_WPA_SERVER;
            f.labels[4] = IDS_SEC_WPA_LOGIN;
            f.controls.insert(f.controls.end(), {IDC_SEC_WPA_SERVER, IDC_SEC_WPA_LOGIN});
            return f;
        }
        f.labels[3] = IDS_SEC_WPA_USER;
        f.labels[4] = IDS_SEC_WPA_PASSWORD;
        f.controls.insert(f.controls.end(), {IDC_SEC_WPA_USER, IDC_SEC_WPA_PASSWORD});
        if (eapMethod == kLeap) {
            f.labels[5] = IDS_SEC_WPA_SERVER;
            f.controls.push_back(IDC_SEC_WPA_LEAP_DOMAIN);
        } else {
            f.labels[5] = IDS_SEC_WPA_LOGIN;
            f.controls.push_back(IDC_SEC_WPA_OUTER_LOGIN);
        }
        return f;
    }
    case View::Eap8021x: {
        Form f{{IDS_SEC_X_EAP_TYPE, IDS_SEC_X_ROOT, IDS_SEC_X_CLIENT, 0, 0, 0},
               {IDC_SEC_X_EAP, IDC_SEC_X_ROOT, IDC_SEC_X_CLIENT},
               true, eapMethod != kLeap, tls};
        if (tls) {
            f.labels[3] = IDS_SEC_X_SERVER;
            f.labels[4] = IDS_SEC_X_LOGIN;
            f.controls.insert(f.controls.end(), {IDC_SEC_X_SERVER, IDC_SEC_X_LOGIN});
        } else {
            f.labels[3] = IDS_SEC_X_USER;
            f.labels[4] = IDS_SEC_X_PASSWORD;
            f.controls.insert(f.controls.end(), {IDC_SEC_X_USER, IDC_SEC_X_PASSWORD});
        }
        return f;
    }
    }
    return {{0, 0, 0, 0, 0, 0}, {}, false, false, false};
}

const std::vector<int>& AllFormControls() {
    static const std::vector<int> all = {
        IDC_SEC_ROW1_LABEL, IDC_SEC_ROW2_LABEL, IDC_SEC_ROW3_LABEL, IDC_SEC_ROW4_LABEL,
        IDC_SEC_ROW5_LABEL, IDC_SEC_ROW6_LABEL, IDC_SEC_AUTH, IDC_SEC_KEY_LENGTH,
        IDC_SEC_KEY_FORMAT, IDC_SEC_KEY1, IDC_SEC_KEY2, IDC_SEC_KEY3, IDC_SEC_KEY4_LABEL,
        IDC_SEC_KEY4, IDC_SEC_DEFAULT_KEY_LABEL, IDC_SEC_DEFAULT_KEY, IDC_SEC_USE_PASSPHRASE,
        IDC_SEC_PASSPHRASE, IDC_SEC_PSK, IDC_SEC_WPA_EAP, IDC_SEC_WPA_ROOT, IDC_SEC_WPA_CLIENT,
        IDC_SEC_WPA_USER, IDC_SEC_WPA_SERVER, IDC_SEC_WPA_PASSWORD, IDC_SEC_WPA_LOGIN,
        IDC_SEC_WPA_OUTER_LOGIN, IDC_SEC_WPA_LEAP_DOMAIN, IDC_SEC_X_EAP, IDC_SEC_X_ROOT,
        IDC_SEC_X_CLIENT, IDC_SEC_X_USER, IDC_SEC_X_SERVER, IDC_SEC_X_PASSWORD, IDC_SEC_X_LOGIN};
    return all;
}

int KeyBitsOfIndex(int lengthIndex) {
    switch (lengthIndex) {
    case 0: return 40;
    case 1: return 104;
    case 2: return 128;
    }
    return 0;
}

int KeyLengthIndex(int keyBits) {
    for (int i = 0; i < 3; ++i)
        if (KeyBitsOfIndex(i) == keyBits) return i;
    return -1;
}

int KeyChars(int keyBits, bool hex) {
    if (KeyLengthIndex(keyBits) < 0) return 0;
    return static_cast<int>(profile_rules::MinimumKeyChars(keyBits, hex));
}

std::string ZeroKey(int keyBits, bool hex) { return std::string(static_cast<size_t>(KeyChars(keyBits, hex)), '0'); }

size_t HexFilterKeeps(const std::string& text) {
    size_t kept = text.size();
    for (; kept > 0; --kept) {
        char c = text[kept - 1];
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) break;
    }
    return kept;
}

}  // namespace security_form
