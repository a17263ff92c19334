// Decisions of the profile store on plain profile data: the normalising copy from the edit
// profile into a stored record, and the security checks made before a save or an apply.
// `Profile` is the library's record or any type with the same fields whose texts offer
// c_str() and assignment from const char*.
#pragma once
#include <cstring>
#include <string>

#include "monitor/profiles/keys/wep_key.h"
#include "monitor/res/resource.h"

namespace profile_rules {

constexpr size_t kMaxPassphraseChars = 99;  // the WEP passphrase the editor takes

// Text copied through a fixed buffer of `size` bytes: at most size - 1 characters.
inline std::string Bounded(const char* text, size_t size) {
    return std::string(text, strnlen(text, size - 1));
}

inline int NormalChannelMHz(int mhz) {
    static const int kGrid[] = {2412, 2417, 2422, 2427, 2432, 2437,
                                2442, 2447, 2452, 2462, 2467, 2472};
    for (int valid : kGrid)
        if (mhz == valid) return mhz;
    return 2457;  // channel 10
}

inline int NormalWirelessMode(int mode) { return mode == 4 || mode == 8 || mode == 12 ? mode : 28; }

inline int NormalEapMethod(int method) {
    return method == 1 || method == 3 || method == 4 || method == 5 || method == 7 ? method : 0;
}

inline bool IsEapWith8021x(int method) {
    return method == 1 || method == 3 || method == 4 || method == 5;
}

enum class CopyKind {
    Create,      // the four WEP keys are copied as typed
    SaveOrApply  // a non-empty passphrase replaces the four WEP keys, in both records
};

// Copies the edit profile `src` into `dst`, normalising on the way.
template <class Profile>
void NormalisingCopy(Profile& src, Profile& dst, CopyKind kind, const std::string& passphrase) {
    dst.ssid = Bounded(src.ssid.c_str(), 33).c_str();
    dst.infrastructure = src.infrastructure == 1 ? 1 : 0;
    dst.channelMHz = NormalChannelMHz(src.channelMHz);
    dst.channelBand = 4;
    dst.powerSave = src.powerSave != 0 && dst.infrastructure ? 1 : 0;
    dst.wirelessMode = NormalWirelessMode(src.wirelessMode);
    dst.privacy = src.privacy == 1 ? 1 : 0;
    dst.eapMethod = NormalEapMethod(src.eapMethod);
    dst.ieee8021x = IsEapWith8021x(dst.eapMethod) ? 1 : 0;
    dst.reservedB = 0;
    dst.wpa = src.wpa == 1 ? 1 : 0;
    dst.authMode = src.authMode == 2 ? 2 : 1;
    if (src.defaultKey >= 1 && src.defaultKey <= 4) dst.defaultKey = src.defaultKey;

    int lengthCode = wep::LengthCodeForBits(src.wepKeyBits1);
    if (kind == CopyKind::SaveOrApply && !passphrase.empty() && lengthCode != 0) {
        src.keyIsHex = dst.keyIsHex = 1;
        std::string k1 = wep::DeriveWepKey(passphrase, lengthCode, 0);
        std::string k2 = wep::DeriveWepKey(passphrase, lengthCode, 1);
        std::string k3 = wep::DeriveWepKey(passphrase, lengthCode, 2);
        std::string k4 = wep::DeriveWepKey(passphrase, lengthCode, 3);
        src.wepKey1 = dst.wepKey1 = k1.c_str();
        src.wepKey2 = dst.wepKey2 = k2.c_str();
        src.wepKey3 = dst.wepKey3 = k3.c_str();
        src.wepKey4 = dst.wepKey4 = k4.c_str();
    } else {
        if (src.keyIsHex == 0 || src.keyIsHex == 1) dst.keyIsHex = src.keyIsHex;
        dst.wepKey1 = Bounded(src.wepKey1.c_str(), 33).c_str();
        dst.wepKey2 = Bounded(src.wepKey2.c_str(), 33).c_str();
        dst.wepKey3 = Bounded(src.wepKey3.c_str(), 33).c_str();
        dst.wepKey4 = Bounded(src.wepKey4.c_str(), 33).c_str();
    }
    if (lengthCode != 0)
        dst.wepKeyBits1 = dst.wepKeyBits2 = dst.wepKeyBits3 = dst.wepKeyBits4 = src.wepKeyBits1;

    dst.pskPassphrase = Bounded(src.pskPassphrase.c_str(), 65).c_str();
    dst.pskBits = src.pskBits;
    dst.eapUser = Bounded(src.eapUser.c_str(), 500).c_str();
    dst.eapPassword = Bounded(src.eapPassword.c_str(), 500).c_str();
    dst.rootCertificate = Bounded(src.rootCertificate.c_str(), 500).c_str();
    dst.clientCertificate = Bounded(src.clientCertificate.c_str(), 500).c_str();
    dst.serverDomainName = Bounded(src.serverDomainName.c_str(), 500).c_str();
    dst.loginName = Bounded(src.loginName.c_str(), 500).c_str();
    dst.leapUser = Bounded(src.leapUser.c_str(), 500).c_str();
    dst.leapPassword = Bounded(src.leapPassword.c_str(), 500).c_str();
    dst.leapDomain = Bounded(src.leapDomain.c_str(), 500).c_str();
    dst.reservedA = 0;
}

// What an apply adds to the copy: a passphrase with 104-bit keys transmits with key 1, and
// the password lengths in bits go to the driver.
template <class Profile>
void ApplyAdditions(Profile& dst, const std::string& passphrase) {
    if (!passphrase.empty() && dst.wepKeyBits1 == 104) dst.defaultKey = 1;
    dst.leapPasswordBits = int(8 * std::strlen(dst.leapPassword.c_str()));
    dst.eapPasswordBits = int(8 * std::strlen(dst.eapPassword.c_str()));
    dst.reservedA = 0;
}

// Fewest characters of the default WEP key for its length and entry format.
inline size_t MinimumKeyChars(int keyBits, bool hex) {
    switch (keyBits) {
    case 40: return hex ? 10 : 5;
    case 104: return hex ? 26 : 13;
    default: return hex ? 32 : 16;
    }
}

inline int KeyMessage(int keyBits, bool hex) {
    switch (keyBits) {
    case 40: return hex ? IDS_KEY_64_HEX : IDS_KEY_64_ASCII;
    case 104: return hex ? IDS_KEY_128_HEX : IDS_KEY_128_ASCII;
    default: return hex ? IDS_KEY_152_HEX : IDS_KEY_152_ASCII;
    }
}

template <class Profile>
const char* DefaultKeyText(const Profile& p) {
    switch (p.defaultKey) {
    case 1: return p.wepKey1.c_str();
    case 2: return p.wepKey2.c_str();
    case 3: return p.wepKey3.c_str();
    case 4: return p.wepKey4.c_str();
    default: return "";  // no key is named: measured as empty
    }
}

// Only a WEP profile makes its keys from the passphrase: there it must be one the editor
// could take. Other kinds keep whatever passphrase was stored with them.
template <class Profile>
int PassphraseCheck(const Profile& p, const std::string& passphrase) {
    bool wep = p.eapMethod == 7 && !p.wpa;
    return wep && passphrase.size() > kMaxPassphraseChars ? IDS_PASSPHRASE_TOO_LONG : 0;
}

// The key check made before every save and apply: 0 when the keys will do, else the
// message to show.
template <class Profile>
int KeyCheck(const Profile& p, const std::string& passphrase) {
    if (int message = PassphraseCheck(p, passphrase)) return message;
    if (p.eapMethod != 7) return 0;
    if (p.wpa) {
        size_t chars = std::strlen(p.pskPassphrase.c_str());
        return chars >= 8 && chars <= 64 ? 0 : IDS_PSK_LENGTH;
    }
    if (!passphrase.empty()) return 0;  // the keys are generated from it
    bool hex = p.keyIsHex == 1;
    if (std::strlen(DefaultKeyText(p)) >= MinimumKeyChars(p.wepKeyBits1, hex)) return 0;
    return KeyMessage(p.wepKeyBits1, hex);
}

inline bool AllHexDigits(const char* text) {
    for (; *text; ++text) {
        char c = *text;
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f')))
            return false;
    }
    return true;
}

struct ApplyVerdict {
    bool pass;
    int messageId;  // 0: stop without a message
};

// The check an apply makes after the key check: credentials and the 64-digit key.
template <class Profile>
ApplyVerdict ApplyCheck(const Profile& p) {
    auto empty = [](const auto& text) { return *text.c_str() == '\0'; };
    switch (p.eapMethod) {
    case 4:
        if (empty(p.clientCertificate) || empty(p.loginName)) return {false, IDS_NO_CERTIFICATES};
        break;
    case 5:
    case 3:
        if (empty(p.eapUser) || empty(p.eapPassword)) return {false, 0};
        break;
    case 1:
        if (empty(p.leapUser) || empty(p.leapPassword)) return {false, 0};
        break;
    case 7:
        if (p.wpa && std::strlen(p.pskPassphrase.c_str()) == 64 &&
            !AllHexDigits(p.pskPassphrase.c_str()))
            return {false, IDS_PSK_NOT_HEX};
        break;
    default:
        break;
    }
    return {true, 0};
}

}  // namespace profile_rules
