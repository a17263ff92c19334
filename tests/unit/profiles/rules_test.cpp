// The normalising copy, the key check and the apply check on a plain record with the
// library record's fields.
#include <gtest/gtest.h>

#include <string>

#include "monitor/profiles/keys/profile_keys.h"
#include "monitor/profiles/keys/wep_key.h"
#include "monitor/profiles/profile_rules.h"

namespace {

struct Profile {
    std::string name, ssid, defaultUserName;
    int infrastructure = 1, powerSave = 0, privacy = 0, ieee8021x = 0, keyIsHex = 1, defaultKey = 1;
    std::string wepKey1, wepKey2, wepKey3, wepKey4;
    int wepKeyBits1 = 40, wepKeyBits2 = 40, wepKeyBits3 = 40, wepKeyBits4 = 40;
    std::string pskPassphrase;
    int pskBits = 0, eapMethod = 0;
    std::string leapUser, leapPassword;
    int leapPasswordBits = 0, reservedA = 7;
    std::string leapDomain;
    int reservedB = 7;
    std::string clientCertificate, rootCertificate, serverDomainName, loginName;
    int wpa = 0;
    std::string eapUser, eapPassword;
    int eapPasswordBits = 0, savedFlag1 = 0, savedFlag2 = 0, wirelessMode = 12, channelBand = 0,
        channelMHz = 2412, authMode = 1;
};

using profile_rules::CopyKind;

Profile Copied(Profile src, CopyKind kind = CopyKind::SaveOrApply, const std::string& pass = "") {
    Profile dst;
    profile_rules::NormalisingCopy(src, dst, kind, pass);
    return dst;
}

Profile Wep(int bits, int hex, int defaultKey, const std::string& key) {
    Profile p;
    p.eapMethod = 7;
    p.privacy = 1;
    p.wepKeyBits1 = bits;
    p.keyIsHex = hex;
    p.defaultKey = defaultKey;
    p.wepKey1 = p.wepKey2 = p.wepKey3 = p.wepKey4 = std::string(40, '0');
    (defaultKey == 1 ? p.wepKey1 : defaultKey == 2 ? p.wepKey2 : defaultKey == 3 ? p.wepKey3
                                                                                 : p.wepKey4) = key;
    return p;
}

}  // namespace

TEST(NormalisingCopy, ChannelWirelessModeAndPowerSaving) {
    Profile src;
    const int kept[] = {2412, 2437, 2452, 2462, 2472};
    for (int mhz : kept) {
        src.channelMHz = mhz;
        EXPECT_EQ(mhz, Copied(src).channelMHz);
    }
    const int replaced[] = {2484, 2413, 2457 + 1, 0, -5};
    for (int mhz : replaced) {
        src.channelMHz = mhz;
        EXPECT_EQ(2457, Copied(src).channelMHz) << mhz;
    }
    EXPECT_EQ(4, Copied(src).channelBand);

    for (int mode : {4, 8, 12}) {
        src.wirelessMode = mode;
        EXPECT_EQ(mode, Copied(src).wirelessMode);
    }
    for (int mode : {16, 0, 28, 3}) {
        src.wirelessMode = mode;
        EXPECT_EQ(28, Copied(src).wirelessMode) << mode;
    }

    src.powerSave = 5;
    EXPECT_EQ(1, Copied(src).powerSave);
    src.infrastructure = 0;
    EXPECT_EQ(0, Copied(src).powerSave);
    src.infrastructure = 2;  // not exactly 1: ad hoc
    Profile dst = Copied(src);
    EXPECT_EQ(0, dst.infrastructure);
    EXPECT_EQ(0, dst.powerSave);
}

TEST(NormalisingCopy, SecurityFieldsAreNormalised) {
    Profile src;
    src.privacy = 2;
    src.wpa = 3;
    src.authMode = 0;
    src.eapMethod = 2;
    Profile dst = Copied(src);
    EXPECT_EQ(0, dst.privacy);
    EXPECT_EQ(0, dst.wpa);
    EXPECT_EQ(1, dst.authMode);
    EXPECT_EQ(0, dst.eapMethod);
    EXPECT_EQ(0, dst.ieee8021x);
    EXPECT_EQ(0, dst.reservedA);
    EXPECT_EQ(0, dst.reservedB);

    const int withEap[] = {1, 3, 4, 5};
    for (int method : withEap) {
        src.eapMethod = method;
        EXPECT_EQ(1, Copied(src).ieee8021x) << method;
    }
    src.eapMethod = 7;
    src.authMode = 2;
    dst = Copied(src);
    EXPECT_EQ(7, dst.eapMethod);
    EXPECT_EQ(0, dst.ieee8021x);
    EXPECT_EQ(2, dst.authMode);
}

TEST(NormalisingCopy, OutOfRangeKeyFieldsLeaveTheTargetAlone) {
    Profile src;
    src.keyIsHex = 5;
    src.defaultKey = 0;
    src.wepKeyBits1 = 64;
    Profile dst;
    dst.keyIsHex = 0;
    dst.defaultKey = 3;
    dst.wepKeyBits1 = dst.wepKeyBits2 = dst.wepKeyBits3 = dst.wepKeyBits4 = 104;
    profile_rules::NormalisingCopy(src, dst, CopyKind::SaveOrApply, "");
    EXPECT_EQ(0, dst.keyIsHex);
    EXPECT_EQ(3, dst.defaultKey);
    EXPECT_EQ(104, dst.wepKeyBits4);

    src.keyIsHex = 1;
    src.defaultKey = 4;
    src.wepKeyBits1 = 128;
    profile_rules::NormalisingCopy(src, dst, CopyKind::SaveOrApply, "");
    EXPECT_EQ(1, dst.keyIsHex);
    EXPECT_EQ(4, dst.defaultKey);
    EXPECT_EQ(128, dst.wepKeyBits1);
    EXPECT_EQ(128, dst.wepKeyBits4);
}

TEST(NormalisingCopy, TextsAreCutToTheirBuffers) {
    Profile src;
    src.ssid = std::string(40, 's');
    src.wepKey3 = std::string(40, 'k');
    src.pskPassphrase = std::string(70, 'p');
    src.pskBits = 560;
    src.eapPassword = std::string(600, 'e');
    src.leapDomain = "domain";
    Profile dst = Copied(src);
    EXPECT_EQ(std::string(32, 's'), dst.ssid);
    EXPECT_EQ(std::string(32, 'k'), dst.wepKey3);
    EXPECT_EQ(std::string(64, 'p'), dst.pskPassphrase);
    EXPECT_EQ(560, dst.pskBits);
    EXPECT_EQ(std::string(499, 'e'), dst.eapPassword);
    EXPECT_EQ("domain", dst.leapDomain);
}

TEST(NormalisingCopy, PassphraseRewritesTheKeysOfBothRecordsOnSave) {
    Profile src = Wep(104, 0, 2, "typedkey12345");
    Profile dst;
    profile_rules::NormalisingCopy(src, dst, CopyKind::SaveOrApply, "Hello");
    const std::string derived = wep::DeriveWepKey("Hello", 2, 0);
    ASSERT_EQ(26u, derived.size());
    for (const Profile* p : {&src, &dst}) {
        EXPECT_EQ(1, p->keyIsHex);
        EXPECT_EQ(derived, p->wepKey1);
        EXPECT_EQ(derived, p->wepKey2);
        EXPECT_EQ(derived, p->wepKey3);
        EXPECT_EQ(derived, p->wepKey4);
    }
    EXPECT_EQ(104, dst.wepKeyBits3);

    Profile src40 = Wep(40, 0, 1, "abcde");
    profile_rules::NormalisingCopy(src40, dst, CopyKind::SaveOrApply, "Hello");
    EXPECT_EQ("3472624673", src40.wepKey1);
    EXPECT_EQ("23880ADD0A", dst.wepKey4);
}

TEST(NormalisingCopy, CreateCopiesTypedKeysEvenWithAPassphrase) {
    Profile src = Wep(40, 0, 1, "abcde");
    Profile dst = Copied(src, CopyKind::Create, "Hello");
    EXPECT_EQ("abcde", dst.wepKey1);
    EXPECT_EQ(0, dst.keyIsHex);
    EXPECT_EQ("abcde", src.wepKey1);
}

TEST(ApplyAdditions, TransmitKeyAndPasswordBits) {
    Profile dst = Wep(104, 1, 3, std::string(26, 'A'));
    dst.leapPassword = "leappw";
    dst.eapPassword = "eap-password";
    profile_rules::ApplyAdditions(dst, "phrase");
    EXPECT_EQ(1, dst.defaultKey);
    EXPECT_EQ(48, dst.leapPasswordBits);
    EXPECT_EQ(96, dst.eapPasswordBits);

    Profile other = Wep(128, 1, 3, std::string(32, 'A'));
    profile_rules::ApplyAdditions(other, "phrase");
    EXPECT_EQ(3, other.defaultKey);
    Profile typed = Wep(104, 1, 3, std::string(26, 'A'));
    profile_rules::ApplyAdditions(typed, "");
    EXPECT_EQ(3, typed.defaultKey);
}

TEST(KeyCheck, WepKeyLengthsByFormat) {
    struct Row { int bits; int hex; size_t minimum; int message; };
    const Row rows[] = {
        {40, 1, 10, IDS_KEY_64_HEX},   {104, 1, 26, IDS_KEY_128_HEX},
        {128, 1, 32, IDS_KEY_152_HEX}, {40, 0, 5, IDS_KEY_64_ASCII},
        {104, 0, 13, IDS_KEY_128_ASCII}, {128, 0, 16, IDS_KEY_152_ASCII},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(r.message, profile_rules::KeyCheck(Wep(r.bits, r.hex, 2, std::string(r.minimum - 1, 'A')), ""))
            << r.bits << "/" << r.hex;
        EXPECT_EQ(0, profile_rules::KeyCheck(Wep(r.bits, r.hex, 2, std::string(r.minimum, 'A')), ""));
        EXPECT_EQ(0, profile_rules::KeyCheck(Wep(r.bits, r.hex, 2, std::string(r.minimum + 3, 'A')), ""));
        // Any passphrase makes the keys irrelevant.
        EXPECT_EQ(0, profile_rules::KeyCheck(Wep(r.bits, r.hex, 2, std::string(r.minimum - 1, 'A')), "x"));
    }
}

TEST(KeyCheck, OnlyTheDefaultKeyIsMeasured) {
    Profile p = Wep(40, 1, 1, "0123456789");
    p.wepKey3 = "12";
    EXPECT_EQ(0, profile_rules::KeyCheck(p, ""));
    p.defaultKey = 3;
    EXPECT_EQ(IDS_KEY_64_HEX, profile_rules::KeyCheck(p, ""));
    p.defaultKey = 9;  // names no key
    EXPECT_EQ(IDS_KEY_64_HEX, profile_rules::KeyCheck(p, ""));
}

TEST(KeyCheck, PreSharedKeyAndOtherKinds) {
    Profile p;
    p.eapMethod = 7;
    p.wpa = 1;
    p.pskPassphrase = "1234567";
    EXPECT_EQ(IDS_PSK_LENGTH, profile_rules::KeyCheck(p, ""));
    p.pskPassphrase = "12345678";
    EXPECT_EQ(0, profile_rules::KeyCheck(p, ""));
    p.pskPassphrase = std::string(64, 'g');
    EXPECT_EQ(0, profile_rules::KeyCheck(p, ""));
    p.pskPassphrase = std::string(65, 'a');
    EXPECT_EQ(IDS_PSK_LENGTH, profile_rules::KeyCheck(p, ""));

    Profile none;
    for (int method : {0, 1, 3, 4, 5}) {
        none.eapMethod = method;
        EXPECT_EQ(0, profile_rules::KeyCheck(none, "")) << method;
    }
}

TEST(KeyCheck, APassphraseLongerThanTheEditorAllowsStopsOnlyAWepProfile) {
    Profile p = Wep(40, 1, 1, "0123456789");
    EXPECT_EQ(0, profile_rules::KeyCheck(p, std::string(99, 'x')));
    EXPECT_EQ(IDS_PASSPHRASE_TOO_LONG, profile_rules::KeyCheck(p, std::string(100, 'x')));
    Profile open, psk;
    psk.eapMethod = 7;
    psk.wpa = 1;
    psk.pskPassphrase = "12345678";
    EXPECT_EQ(0, profile_rules::KeyCheck(open, std::string(120, 'x')));
    EXPECT_EQ(0, profile_rules::KeyCheck(psk, std::string(120, 'x')));
}

TEST(ApplyCheck, CredentialsAndSixtyFourDigitKey) {
    Profile tls;
    tls.eapMethod = 4;
    tls.loginName = "user";
    auto v = profile_rules::ApplyCheck(tls);
    EXPECT_FALSE(v.pass);
    EXPECT_EQ(IDS_NO_CERTIFICATES, v.messageId);
    tls.clientCertificate = "AB12";
    EXPECT_TRUE(profile_rules::ApplyCheck(tls).pass);
    tls.loginName = "";
    EXPECT_EQ(IDS_NO_CERTIFICATES, profile_rules::ApplyCheck(tls).messageId);

    for (int method : {3, 5}) {
        Profile p;
        p.eapMethod = method;
        p.eapUser = "user";
        v = profile_rules::ApplyCheck(p);
        EXPECT_FALSE(v.pass);
        EXPECT_EQ(0, v.messageId);
        p.eapPassword = "pw";
        EXPECT_TRUE(profile_rules::ApplyCheck(p).pass);
    }
    Profile leap;
    leap.eapMethod = 1;
    leap.leapPassword = "pw";
    EXPECT_FALSE(profile_rules::ApplyCheck(leap).pass);
    leap.leapUser = "user";
    EXPECT_TRUE(profile_rules::ApplyCheck(leap).pass);

    Profile psk;
    psk.eapMethod = 7;
    psk.wpa = 1;
    psk.pskPassphrase = std::string(63, 'a') + "g";
    EXPECT_EQ(IDS_PSK_NOT_HEX, profile_rules::ApplyCheck(psk).messageId);
    psk.pskPassphrase = std::string(32, 'a') + std::string(32, 'F');
    EXPECT_TRUE(profile_rules::ApplyCheck(psk).pass);
    psk.pskPassphrase = std::string(63, 'g');  // ASCII passphrases are not digit-checked
    EXPECT_TRUE(profile_rules::ApplyCheck(psk).pass);
    psk.wpa = 0;
    psk.pskPassphrase = std::string(63, 'a') + "g";
    EXPECT_TRUE(profile_rules::ApplyCheck(psk).pass);
}

TEST(ProfileKeys, PathFitsTwoHundredBytesOrIsRefused) {
    EXPECT_EQ("SOFTWARE\\Halvex\\TelvaraWevo54\\My Net", *profile_keys::ProfileKeyPath(54, "My Net"));
    EXPECT_EQ("SOFTWARE\\Halvex\\TelvaraWevo108\\My Net", *profile_keys::ProfileKeyPath(108, "My Net"));
    std::string longest(profile_keys::kMaxNameChars, 'n');
    EXPECT_EQ(165u, longest.size());
    EXPECT_EQ(196u, profile_keys::ProfileKeyPath(108, longest)->size());
    EXPECT_FALSE(profile_keys::ProfileKeyPath(108, std::string(169, 'n')));
    EXPECT_TRUE(profile_keys::NameFits(longest));
    EXPECT_FALSE(profile_keys::NameFits(longest + "n"));
    EXPECT_FALSE(profile_keys::ProfileKeyPath(54, std::string("a\0b", 3)));
}
