// The Security page from its real template, editing a profile of the simulated adapter the
// way the Configuration page hosts it: what each choice writes into the edit profile, the
// WEP key rules, and a passphrase typed here that is saved, read back and sent to the driver.
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>

#include "monitor/adapter/oids.h"
#include "monitor/adapter/status_record.h"
#include "monitor/res/resource.h"
#include "tests/win/profiles/store_fixture.h"
#include "tests/win/security/page_host.h"

using sectest::PageHost;
using storetest::StoreTest;

namespace {

const char kProfiles[] =
    "profile name=Wep ssid=Library infrastructure=1 privacy=1 eapMethod=7 wpa=0 authMode=2 "
    "keyIsHex=1 defaultKey=2 wepKey1=1234567890 wepKey2=ABCDEF0123 wepKey3=0000000000 "
    "wepKey4=1111111111 wepKeyBits1=40 wepKeyBits2=40 wepKeyBits3=40 wepKeyBits4=40 "
    "defaultUserName=alice\n"
    "profile name=Campus ssid=Campus infrastructure=1 privacy=1 eapMethod=5 wpa=0 eapUser=bob "
    "eapPassword=pw serverDomainName=old.example defaultUserName=alice\n"
    "profile name=Party ssid=Party infrastructure=0 privacy=1 eapMethod=7 wpa=1 "
    "pskPassphrase=secret123 defaultUserName=alice\n"
    "select name=Wep\n";

// The six row labels as shown: the text of a visible label, "-" for a hidden one.
std::vector<std::string> Rows(const PageHost& page) {
    std::vector<std::string> rows;
    for (int id : {IDC_SEC_ROW1_LABEL, IDC_SEC_ROW2_LABEL, IDC_SEC_ROW3_LABEL, IDC_SEC_ROW4_LABEL,
                   IDC_SEC_ROW5_LABEL, IDC_SEC_ROW6_LABEL})
        rows.push_back(page.Visible(id) ? page.Text(id) : "-");
    return rows;
}

std::vector<std::string> Kinds(const PageHost& page) {
    std::vector<std::string> kinds;
    for (int i = 0; i < page.Count(IDC_SEC_KIND); ++i) kinds.push_back(page.BoxText(IDC_SEC_KIND, i));
    return kinds;
}

class SecurityPage : public StoreTest {
protected:
    void SetUp() override { theApp.ClearMaskFlags(); }
    void TearDown() override {
        theApp.ClearMaskFlags();
        StoreTest::TearDown();
    }
    void ExpectKind(int eapMethod, int wpa, int privacy) {
        EXPECT_EQ(eapMethod, Edit().eapMethod);
        EXPECT_EQ(wpa, Edit().wpa);
        EXPECT_EQ(privacy, Edit().privacy);
    }
};

}  // namespace

TEST_F(SecurityPage, EachSecurityKindShowsItsRowsAndWritesItsFields) {
    Open(kProfiles, "Wep");
    PageHost page;
    ASSERT_NE(nullptr, page.Page());

    EXPECT_EQ((std::vector<std::string>{"None", "WPA2-PSK / WPA-PSK", "WEP", "WPA2 / WPA"}), Kinds(page));
    EXPECT_EQ(2, page.Selection(IDC_SEC_KIND));
    EXPECT_EQ((std::vector<std::string>{"Authentication Type", "Key Length", "Key Type", "Key 1", "Key 2", "Key 3"}),
              Rows(page));
    EXPECT_TRUE(page.Visible(IDC_SEC_KEY4));
    EXPECT_TRUE(page.Visible(IDC_SEC_USE_PASSPHRASE));
    EXPECT_FALSE(page.Visible(IDC_SEC_PSK));
    EXPECT_EQ(1, page.Selection(IDC_SEC_AUTH));  // Shared
    EXPECT_EQ(1, page.Selection(IDC_SEC_DEFAULT_KEY));
    EXPECT_EQ(0, page.Selection(IDC_SEC_KEY_FORMAT));
    EXPECT_EQ(0, page.Selection(IDC_SEC_KEY_LENGTH));
    EXPECT_EQ("ABCDEF0123", page.Text(IDC_SEC_KEY2));
    EXPECT_EQ('*', page.PasswordChar(IDC_SEC_KEY2));
    EXPECT_EQ(10, page.Limit(IDC_SEC_KEY2));

    page.Choose(IDC_SEC_AUTH, 0);
    page.Choose(IDC_SEC_DEFAULT_KEY, 3);
    EXPECT_EQ(1, Edit().authMode);
    EXPECT_EQ(4, Edit().defaultKey);

    page.Choose(IDC_SEC_KIND, 0);
    ExpectKind(0, 0, 0);
    EXPECT_EQ(std::vector<std::string>(6, "-"), Rows(page));
    EXPECT_FALSE(page.Visible(IDC_SEC_KEY1));
    EXPECT_TRUE(page.Visible(IDC_SEC_KIND));

    page.Choose(IDC_SEC_KIND, 1);
    ExpectKind(7, 1, 1);
    EXPECT_EQ((std::vector<std::string>{"Pre-shared Key (PSK)", "-", "-", "-", "-", "-"}), Rows(page));
    EXPECT_TRUE(page.Visible(IDC_SEC_PSK));
    EXPECT_EQ(0, page.PasswordChar(IDC_SEC_PSK)) << "an empty key shows what is typed";
    page.Type(IDC_SEC_PSK, "secret12");
    EXPECT_STREQ("secret12", Edit().pskPassphrase.c_str());
    EXPECT_EQ(64, Edit().pskBits);
    EXPECT_EQ(64, page.Limit(IDC_SEC_PSK));

    page.Choose(IDC_SEC_KIND, 2);
    ExpectKind(7, 0, 1);
    EXPECT_TRUE(page.Visible(IDC_SEC_KEY1));
    EXPECT_FALSE(page.Visible(IDC_SEC_PSK));

    // WPA with EAP starts with the EAP box's type, TLS.
    page.Choose(IDC_SEC_KIND, 3);
    ExpectKind(4, 1, 1);
    EXPECT_EQ((std::vector<std::string>{"EAP Type", "Root Certification", "Select a Certificate",
                                        "Server/Domain Name", "Login Name", "-"}),
              Rows(page));
    EXPECT_TRUE(page.Visible(IDC_SEC_WPA_SERVER));
    EXPECT_FALSE(page.Visible(IDC_SEC_WPA_USER));
    EXPECT_TRUE(page.Enabled(IDC_SEC_WPA_CLIENT));
    EXPECT_EQ("Any", page.BoxText(IDC_SEC_WPA_ROOT, 0));

    // TTLS: an empty login name takes the default user name.
    Edit().loginName = "";
    page.Choose(IDC_SEC_WPA_EAP, 1);
    EXPECT_EQ(5, Edit().eapMethod);
    EXPECT_EQ((std::vector<std::string>{"EAP Type", "Root Certification", "Select a Certificate", "User Name",
                                        "Password", "Login Name"}),
              Rows(page));
    EXPECT_FALSE(page.Enabled(IDC_SEC_WPA_CLIENT));
    EXPECT_TRUE(page.Enabled(IDC_SEC_WPA_ROOT));
    EXPECT_STREQ("alice", Edit().loginName.c_str());
    EXPECT_EQ("alice", page.Text(IDC_SEC_WPA_OUTER_LOGIN));
    page.Type(IDC_SEC_WPA_USER, "2");
    page.Type(IDC_SEC_WPA_PASSWORD, "pw");
    EXPECT_STREQ("alice2", Edit().eapUser.c_str());
    EXPECT_STREQ("pw", Edit().eapPassword.c_str());

    // LEAP: the same edits now write the LEAP fields; row 6 is its domain.
    page.Choose(IDC_SEC_WPA_EAP, 3);
    EXPECT_EQ(1, Edit().eapMethod);
    EXPECT_EQ("Server/Domain Name", Rows(page)[5]);
    EXPECT_TRUE(page.Visible(IDC_SEC_WPA_LEAP_DOMAIN));
    EXPECT_FALSE(page.Enabled(IDC_SEC_WPA_ROOT));
    page.Type(IDC_SEC_WPA_USER, "carol");
    page.Type(IDC_SEC_WPA_PASSWORD, "leap!");
    page.Type(IDC_SEC_WPA_LEAP_DOMAIN, "CORP");
    EXPECT_STREQ("carol", Edit().leapUser.c_str());
    EXPECT_STREQ("leap!", Edit().leapPassword.c_str());
    EXPECT_STREQ("CORP", Edit().leapDomain.c_str());
    EXPECT_STREQ("alice2", Edit().eapUser.c_str());
    EXPECT_STREQ("pw", Edit().eapPassword.c_str());
}

TEST_F(SecurityPage, An8021xProfileOpensWithoutASecurityEntryInItsOwnForm) {
    Open(kProfiles, "Campus");
    PageHost page;
    EXPECT_EQ(-1, page.Selection(IDC_SEC_KIND));
    EXPECT_EQ(1, page.Selection(IDC_SEC_X_EAP));  // TTLS
    EXPECT_EQ((std::vector<std::string>{"EAP Type", "Root Certification", "Select a Certificate", "User Name",
                                        "Password", "-"}),
              Rows(page));
    EXPECT_TRUE(page.Visible(IDC_SEC_X_USER));
    EXPECT_FALSE(page.Visible(IDC_SEC_WPA_EAP));
    EXPECT_EQ("bob", page.Text(IDC_SEC_X_USER));
    EXPECT_EQ("pw", page.Text(IDC_SEC_X_PASSWORD));
    EXPECT_EQ('*', page.PasswordChar(IDC_SEC_X_PASSWORD));
    EXPECT_STREQ("", Edit().serverDomainName.c_str()) << "only TLS keeps a server/domain name";

    // A cleared password edit shows its text in clear until the profile is saved.
    page.Clear(IDC_SEC_X_PASSWORD);
    EXPECT_STREQ("", Edit().eapPassword.c_str());
    EXPECT_EQ(0, page.PasswordChar(IDC_SEC_X_PASSWORD));
    EXPECT_EQ(1, theApp.maskFlags[7]);
    page.Type(IDC_SEC_X_PASSWORD, "new");
    EXPECT_EQ(0, page.PasswordChar(IDC_SEC_X_PASSWORD));
    EXPECT_STREQ("new", Edit().eapPassword.c_str());

    page.Choose(IDC_SEC_X_EAP, 0);
    ExpectKind(4, 0, 1);
    EXPECT_EQ("Server/Domain Name", Rows(page)[3]);
    EXPECT_TRUE(page.Visible(IDC_SEC_X_SERVER));
    EXPECT_FALSE(page.Visible(IDC_SEC_X_USER));

    // Any entry of the Security box leaves the 802.1x kind.
    page.Choose(IDC_SEC_KIND, 0);
    ExpectKind(0, 0, 0);
    EXPECT_FALSE(page.Visible(IDC_SEC_X_EAP));
}

TEST_F(SecurityPage, KeyLengthAndFormatChangesWriteZeroKeysAndTheFilterKeepsHexDigits) {
    Open(kProfiles, "Wep");
    {
        // 152-bit keys: the box does not list them, the edits still take 32 digits.
        Edit().wepKeyBits1 = 128;
        PageHost page;
        EXPECT_EQ(-1, page.Selection(IDC_SEC_KEY_LENGTH));
        EXPECT_EQ(32, page.Limit(IDC_SEC_KEY4));
        Edit().wepKeyBits1 = 40;
    }
    PageHost page;
    const int keys[4] = {IDC_SEC_KEY1, IDC_SEC_KEY2, IDC_SEC_KEY3, IDC_SEC_KEY4};
    auto expectKeys = [&](const std::string& zeros) {
        for (int id : keys) {
            EXPECT_EQ(zeros, page.Text(id));
            EXPECT_EQ(static_cast<int>(zeros.size()), page.Limit(id));
        }
        for (const ACString* key : {&Edit().wepKey1, &Edit().wepKey2, &Edit().wepKey3, &Edit().wepKey4})
            EXPECT_EQ(zeros, key->c_str());
    };

    page.Choose(IDC_SEC_KEY_FORMAT, 1);  // ASCII
    expectKeys("00000");
    EXPECT_EQ(0, Edit().keyIsHex);
    page.Choose(IDC_SEC_KEY_FORMAT, 0);  // HEX
    expectKeys("0000000000");
    EXPECT_EQ(1, Edit().keyIsHex);
    page.Choose(IDC_SEC_KEY_LENGTH, 1);  // 128 bit
    expectKeys(std::string(26, '0'));
    for (int bits : {Edit().wepKeyBits1, Edit().wepKeyBits2, Edit().wepKeyBits3, Edit().wepKeyBits4})
        EXPECT_EQ(104, bits);
    page.Choose(IDC_SEC_KEY_FORMAT, 1);
    expectKeys(std::string(13, '0'));
    page.Choose(IDC_SEC_KEY_LENGTH, 0);
    expectKeys("00000");
    EXPECT_EQ(40, Edit().wepKeyBits4);

    // In ASCII any character stays; in HEX a typed letter turns upper case and a non-hex
    // character goes at once.
    page.Clear(IDC_SEC_KEY3);
    page.Type(IDC_SEC_KEY3, "a-z!");
    EXPECT_STREQ("a-z!", Edit().wepKey3.c_str());
    page.Choose(IDC_SEC_KEY_FORMAT, 0);
    page.Clear(IDC_SEC_KEY1);
    EXPECT_STREQ("", Edit().wepKey1.c_str());
    EXPECT_EQ(0, page.PasswordChar(IDC_SEC_KEY1)) << "a cleared key shows its text in clear";
    EXPECT_EQ(1, theApp.maskFlags[0]);
    EXPECT_EQ('*', page.PasswordChar(IDC_SEC_KEY2));
    EXPECT_EQ(0, theApp.maskFlags[1]);
    page.Type(IDC_SEC_KEY1, "a");
    page.Type(IDC_SEC_KEY1, "g");
    page.Type(IDC_SEC_KEY1, "9f");
    EXPECT_EQ("A9F", page.Text(IDC_SEC_KEY1));
    EXPECT_STREQ("A9F", Edit().wepKey1.c_str());
    page.Type(IDC_SEC_KEY1, "0123456789");
    EXPECT_EQ("A9F0123456", page.Text(IDC_SEC_KEY1)) << "limited to 10 characters";
    EXPECT_STREQ("A9F0123456", Edit().wepKey1.c_str());
}

TEST_F(SecurityPage, APastedKeyLosesItsTrailingNonHexCharactersInOnePass) {
    Open(kProfiles, "Wep");
    Edit().wepKeyBits1 = 64;  // a stored length the page does not know: the edits take any length
    PageHost page;
    page.Clear(IDC_SEC_KEY1);
    const std::string pasted = "0123" + std::string(3000, '-');
    SendMessageA(page.Item(IDC_SEC_KEY1), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(pasted.c_str()));
    EXPECT_EQ("0123", page.Text(IDC_SEC_KEY1));
    EXPECT_STREQ("0123", Edit().wepKey1.c_str());
}

TEST_F(SecurityPage, AdHocProfileOffersNoneAndWepAndDropsAStoredWpaKind) {
    Open(kProfiles, "Party");
    {
        PageHost page;
        EXPECT_EQ((std::vector<std::string>{"None", "WEP"}), Kinds(page));
        EXPECT_EQ(0, page.Selection(IDC_SEC_KIND));
        ExpectKind(0, 0, 1);  // privacy is left as stored
        EXPECT_FALSE(page.Visible(IDC_SEC_PSK));
        page.Choose(IDC_SEC_KIND, 1);
        ExpectKind(7, 0, 1);
        EXPECT_TRUE(page.Visible(IDC_SEC_KEY1));
    }
    // Without an adapter the page shows a disabled "None" and writes nothing.
    theApp.adapterPresent = 0;
    Edit().eapMethod = 7;
    Edit().wpa = 1;
    PageHost page;
    EXPECT_EQ((std::vector<std::string>{"None"}), Kinds(page));
    EXPECT_FALSE(page.Enabled(IDC_SEC_KIND));
    EXPECT_FALSE(page.Visible(IDC_SEC_KEY1));
    ExpectKind(7, 1, 1);
}

namespace {

// The 104-bit WEP key of a passphrase, worked out with the system's own MD5: the digest of
// 64 bytes of the passphrase repeated, its first 13 bytes in upper-case hexadecimal.
std::string Md5WepKey(const std::string& passphrase) {
    BYTE block[64];
    for (int i = 0; i < 64; ++i) block[i] = static_cast<BYTE>(passphrase[i % passphrase.size()]);
    HCRYPTPROV prov = 0;
    HCRYPTHASH hash = 0;
    BYTE digest[16] = {};
    DWORD size = sizeof digest;
    bool ok = CryptAcquireContextA(&prov, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT) &&
              CryptCreateHash(prov, CALG_MD5, 0, 0, &hash) && CryptHashData(hash, block, sizeof block, 0) &&
              CryptGetHashParam(hash, HP_HASHVAL, digest, &size, 0);
    if (hash) CryptDestroyHash(hash);
    if (prov) CryptReleaseContext(prov, 0);
    if (!ok) return "";
    std::string key;
    char digits[3];
    for (int i = 0; i < 13; ++i) {
        std::snprintf(digits, sizeof digits, "%02X", digest[i]);
        key += digits;
    }
    return key;
}

}  // namespace

TEST_F(SecurityPage, ATypedPassphraseIsSavedExactlyAndItsKeysReachTheDriver) {
    // Blanks, quotes, backslashes and punctuation, 99 characters in all: the longest the
    // store keeps.
    std::string passphrase = "Tr1cky pass~phrase \"quoted\" & 100% <ok> C:\\path\\ {x} ";
    for (char c = '!'; passphrase.size() < 99; c = c == '~' ? '!' : static_cast<char>(c + 1)) passphrase += c;
    const std::string key = Md5WepKey(passphrase);
    ASSERT_EQ(26u, key.size());

    Open("profile name=Office ssid=Office infrastructure=1 privacy=1 eapMethod=7 wpa=0 keyIsHex=0 "
         "defaultKey=3 wepKey1=abcde wepKey2=abcde wepKey3=abcde wepKey4=abcde wepKeyBits1=104 "
         "wepKeyBits2=104 wepKeyBits3=104 wepKeyBits4=104\n"
         "network ssid=Office channel=6 rssi=-50 security=wep key=" + key + "\n",
         "Office");
    {
        PageHost page;
        EXPECT_FALSE(page.Checked(IDC_SEC_USE_PASSPHRASE));
        EXPECT_FALSE(page.Enabled(IDC_SEC_PASSPHRASE));
        page.Click(IDC_SEC_USE_PASSPHRASE);
        EXPECT_TRUE(page.Enabled(IDC_SEC_PASSPHRASE));
        EXPECT_FALSE(page.Enabled(IDC_SEC_KEY1));
        page.Type(IDC_SEC_PASSPHRASE, passphrase + "X");  // one past the limit
        EXPECT_EQ(passphrase, theApp.editPassphrase);
    }

    store.SaveProfile("Office");
    EXPECT_EQ(std::vector<std::string>{}, pages.events);
    EXPECT_EQ(99u, testsim::ReadDword(KeyPath("Office"), "PassphraseCodeLength"));
    EXPECT_EQ(std::string::npos, testsim::ReadString(KeyPath("Office"), "PassphraseCode").find("Tr1cky"));

    theApp.editPassphrase.clear();
    store.ReloadProfile("Office");
    EXPECT_EQ(passphrase, theApp.editPassphrase);
    EXPECT_EQ(1, Edit().keyIsHex);
    for (const ACString* k : {&Edit().wepKey1, &Edit().wepKey2, &Edit().wepKey3, &Edit().wepKey4})
        EXPECT_EQ(key, k->c_str());

    {
        PageHost page;
        EXPECT_TRUE(page.Checked(IDC_SEC_USE_PASSPHRASE));
        EXPECT_FALSE(page.Enabled(IDC_SEC_KEY1));
        EXPECT_EQ(passphrase, page.Text(IDC_SEC_PASSPHRASE));
        EXPECT_EQ('*', page.PasswordChar(IDC_SEC_PASSPHRASE));
        EXPECT_EQ(key, page.Text(IDC_SEC_KEY3));
        EXPECT_EQ(0, page.Selection(IDC_SEC_KEY_FORMAT));
    }

    // The driver joins the network only with the key it was sent.
    ASSERT_EQ(1, AthSimSetTime(10000));
    store.ApplyProfile("Office");
    ASSERT_EQ(1, AthSimSetTime(12000));
    uint8_t record[kStatusRecordSize] = {};
    DWORD written = 0, length = sizeof record;
    ASSERT_NE(0, AcsGetOid(theApp.session.deviceName.c_str(), oid::kStatusRecord, &written, record, &length));
    StatusRecord status(record);
    EXPECT_FALSE(status.Disconnected());
    EXPECT_EQ("Office", status.Ssid());

    // Unchecking takes the passphrase away; the keys can be typed again.
    PageHost page;
    page.Click(IDC_SEC_USE_PASSPHRASE);
    EXPECT_EQ("", page.Text(IDC_SEC_PASSPHRASE));
    EXPECT_EQ("", theApp.editPassphrase);
    EXPECT_FALSE(page.Enabled(IDC_SEC_PASSPHRASE));
    EXPECT_TRUE(page.Enabled(IDC_SEC_KEY1));
    EXPECT_EQ(0, page.PasswordChar(IDC_SEC_PASSPHRASE));
}
