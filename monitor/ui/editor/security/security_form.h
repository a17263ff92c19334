// The Security page's decisions without its window: which view a profile opens in, what a
// choice of the Security box writes, which rows, labels and controls each view shows, and
// the WEP key rules (characters per key, zero keys, the hexadecimal filter).
#pragma once
#include <array>
#include <string>
#include <vector>

namespace security_form {

// EAP methods as the profile stores them.
enum : int { kNoEap = 0, kLeap = 1, kPeap = 3, kTls = 4, kTtls = 5, kStaticKey = 7 };

enum class View { None, Wep, Psk, WpaEap, Eap8021x };

// The security kind fields of the profile.
struct Kind {
    int eapMethod;
    int wpa;
    int privacy;
};

// Where a stored profile opens: its view and the Security box entry (4 for 802.1x, which
// has no entry). `known` is false for an EAP method the page has no view for.
struct Opening {
    bool known;
    View view;
    int securityIndex;
};
Opening OpeningFor(int eapMethod, int wpa, bool infrastructure);

// An ad hoc profile can only be none or WEP: true when its stored kind must become none.
bool AdHocMustDropKind(int eapMethod, int wpa);

// The Security box entry `index` chosen; `boxEapMethod` is the WPA form's EAP type.
// False for an index the box does not have in this mode.
bool KindOfIndex(int index, bool infrastructure, int boxEapMethod, View* view, Kind* kind);

// EAP type boxes: index 0 TLS, 1 TTLS, 2 PEAP, 3 LEAP.
int EapMethodOfIndex(int index);  // -1 outside the box
int EapIndexOfMethod(int method);  // -1 for a method the box does not list
bool IsEap(int method);

// What a view shows: the six row labels' string IDs (0: the row's label is hidden), the
// controls shown besides the Security box, and whether the certificate boxes take input.
struct Form {
    std::array<int, 6> labels;
    std::vector<int> controls;
    bool eapBoxEnabled;
    bool rootEnabled;
    bool clientEnabled;
};
Form FormOf(View view, int eapMethod);

// Every control of dialog 140 that some view shows, row labels included.
const std::vector<int>& AllFormControls();

// WEP key length: box index 0 "64 bit", 1 "128 bit", 2 (not listed) "152 bit".
int KeyBitsOfIndex(int lengthIndex);  // 40, 104, 128; 0 outside
int KeyLengthIndex(int keyBits);      // 0, 1, 2; -1 for another length
// Characters of a key of this length and format; 0 for another length.
int KeyChars(int keyBits, bool hex);
// The key every length or format change writes: KeyChars "0" characters.
std::string ZeroKey(int keyBits, bool hex);

// Only the end of a hexadecimal key is checked while typing: how much of `text` stays when
// the characters after its last 0-9 or A-F go (the edit turns typed letters to upper case).
size_t HexFilterKeeps(const std::string& text);

// The nine mask flags of the editing state: set means the edit shows its text in clear.
enum Mask : int {
    kMaskKey1 = 0,  // kMaskKey1 + n for key n + 1
    kMaskPassphrase = 4,
    kMaskPsk = 5,
    kMaskEapPassword = 6,    // WPA form, TLS/TTLS/PEAP
    kMask8021xPassword = 7,
    kMaskLeapPassword = 8,   // WPA form, LEAP
};
inline int WpaPasswordMask(int eapMethod) { return eapMethod == kLeap ? kMaskLeapPassword : kMaskEapPassword; }

// Empty user and login names take the library's default user name when the WPA form opens.
template <class Profile>
void FillDefaultNames(Profile& p) {
    if (p.eapMethod == kLeap) {
        if (p.leapUser.empty()) p.leapUser = p.defaultUserName;
        return;
    }
    if (p.eapUser.empty()) {
        p.eapUser = p.defaultUserName;
        if ((p.eapMethod == kTtls || p.eapMethod == kPeap) && p.loginName.empty())
            p.loginName = p.defaultUserName;
    }
}

}  // namespace security_form
