// Certificate selection against the current user's real "MY" and "ROOT" stores: the test
// makes self-signed certificates, adds them and removes them again afterwards.
#include <windows.h>
#include <wincrypt.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "athcfg/athcfg.h"
#include "monitor/ui/editor/security/cert_boxes.h"
#include "monitor/ui/editor/security/cert_names.h"
#include "monitor/ui/editor/security/certificates.h"

namespace {

// --- Debug output: DbgPrintf ends in OutputDebugStringA, which raises DBG_PRINTEXCEPTION_C.

std::vector<std::string>* gDebugLines = nullptr;

LONG CALLBACK CatchDebugOutput(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD& r = *info->ExceptionRecord;
    if (gDebugLines && r.ExceptionCode == DBG_PRINTEXCEPTION_C && r.NumberParameters >= 2)
        gDebugLines->push_back(reinterpret_cast<const char*>(r.ExceptionInformation[1]));
    return EXCEPTION_CONTINUE_SEARCH;
}

class DebugOutput {
public:
    DebugOutput() : handler_(AddVectoredExceptionHandler(1, CatchDebugOutput)) { gDebugLines = &lines; }
    ~DebugOutput() {
        gDebugLines = nullptr;
        RemoveVectoredExceptionHandler(handler_);
    }
    std::vector<std::string> lines;

private:
    void* handler_;
};

// --- Test certificates.

std::vector<BYTE> Encode(LPCSTR type, const void* value) {
    DWORD size = 0;
    if (!CryptEncodeObject(X509_ASN_ENCODING, type, value, nullptr, &size)) return {};
    std::vector<BYTE> out(size);
    if (!CryptEncodeObject(X509_ASN_ENCODING, type, value, out.data(), &size)) return {};
    out.resize(size);
    return out;
}

// A self-signed certificate for `subject` ("CN=...") with an optional e-mail name; with a
// key container made for it (and so the key-provider property), or only its encoded bytes
// when withKey is false. Wine's CryptoAPI can neither encode nor decode the "other name"
// form of a user principal name, so the "@" names are e-mail names.
PCCERT_CONTEXT MakeCert(const char* subject, const wchar_t* email, bool withKey) {
    DWORD size = 0;
    if (!CertStrToNameA(X509_ASN_ENCODING, subject, CERT_X500_NAME_STR, nullptr, nullptr, &size, nullptr))
        return nullptr;
    std::vector<BYTE> name(size);
    if (!CertStrToNameA(X509_ASN_ENCODING, subject, CERT_X500_NAME_STR, nullptr, name.data(), &size,
                        nullptr))
        return nullptr;
    CERT_NAME_BLOB nameBlob = {size, name.data()};

    std::vector<BYTE> altValue;
    CERT_ALT_NAME_ENTRY entry = {};
    entry.dwAltNameChoice = CERT_ALT_NAME_RFC822_NAME;
    entry.pwszRfc822Name = const_cast<wchar_t*>(email);
    CERT_ALT_NAME_INFO alt = {1, &entry};
    CERT_EXTENSION extension = {};
    CERT_EXTENSIONS extensions = {0, &extension};
    if (email) {
        altValue = Encode(X509_ALTERNATE_NAME, &alt);
        extension.pszObjId = const_cast<char*>(szOID_SUBJECT_ALT_NAME2);
        extension.Value = {static_cast<DWORD>(altValue.size()), altValue.data()};
        extensions.cExtension = 1;
    }
    PCCERT_CONTEXT made = CertCreateSelfSignCertificate(0, &nameBlob, 0, nullptr, nullptr, nullptr,
                                                        nullptr, &extensions);
    if (!made || withKey) return made;
    PCCERT_CONTEXT bare = CertCreateCertificateContext(X509_ASN_ENCODING, made->pbCertEncoded,
                                                       made->cbCertEncoded);
    CertFreeCertificateContext(made);
    return bare;
}

std::string Thumbprint(PCCERT_CONTEXT cert) {
    BYTE hash[20];
    DWORD size = sizeof hash;
    if (!CertGetCertificateContextProperty(cert, CERT_SHA1_HASH_PROP_ID, hash, &size)) return "";
    return certs::ThumbprintText(hash, size);
}

SYSTEMTIME IssueTime(PCCERT_CONTEXT cert) {
    FILETIME local;
    SYSTEMTIME st = {};
    FileTimeToLocalFileTime(&cert->pCertInfo->NotBefore, &local);
    FileTimeToSystemTime(&local, &st);
    return st;
}

// Adds certificates to the user's stores and takes them out again, with their key containers.
class StoreCerts : public ::testing::Test {
protected:
    void TearDown() override {
        for (const Added& a : added_) {
            // The registry store itself: a deletion through the system store's collection
            // does not last under Wine.
            HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_SYSTEM_REGISTRY_A, 0, 0,
                                             CERT_SYSTEM_STORE_CURRENT_USER, a.store.c_str());
            if (!store) continue;
            std::vector<unsigned char> hash;
            certs::ThumbprintBytes(a.thumbprint, &hash);
            CRYPT_HASH_BLOB blob = {static_cast<DWORD>(hash.size()), hash.data()};
            while (PCCERT_CONTEXT c = CertFindCertificateInStore(
                       store, X509_ASN_ENCODING, 0, CERT_FIND_SHA1_HASH, &blob, nullptr))
                if (!CertDeleteCertificateFromStore(c)) break;
            CertCloseStore(store, 0);
        }
        for (const std::wstring& container : containers_) {
            HCRYPTPROV prov = 0;
            CryptAcquireContextW(&prov, container.c_str(), nullptr, PROV_RSA_FULL, CRYPT_DELETEKEYSET);
        }
    }

    // Returns the thumbprint text of the certificate added; fails the test when it cannot be.
    std::string Add(const char* storeName, const char* subject, const wchar_t* email = nullptr,
                    bool withKey = true) {
        PCCERT_CONTEXT cert = MakeCert(subject, email, withKey);
        EXPECT_NE(nullptr, cert) << "CertCreateSelfSignCertificate failed: " << GetLastError();
        if (!cert) return "";
        RememberContainer(cert);
        std::string thumbprint = Thumbprint(cert);
        HCERTSTORE store = CertOpenSystemStoreA(0, storeName);
        EXPECT_NE(nullptr, store);
        BOOL ok = store && CertAddCertificateContextToStore(store, cert, CERT_STORE_ADD_NEW, nullptr);
        EXPECT_TRUE(ok) << "adding to " << storeName << " failed: " << std::hex << GetLastError();
        if (ok) added_.push_back({storeName, thumbprint});
        if (store) CertCloseStore(store, 0);
        SYSTEMTIME issued = IssueTime(cert);
        char date[80] = "";
        GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &issued, nullptr, date, sizeof date);
        issueDate_ = date;
        issueHour_ = std::to_string(issued.wHour);
        CertFreeCertificateContext(cert);
        return thumbprint;
    }

    void RememberContainer(PCCERT_CONTEXT cert) {
        DWORD size = 0;
        if (!CertGetCertificateContextProperty(cert, CERT_KEY_PROV_INFO_PROP_ID, nullptr, &size)) return;
        std::vector<ULONGLONG> buffer(size / sizeof(ULONGLONG) + 1);
        if (CertGetCertificateContextProperty(cert, CERT_KEY_PROV_INFO_PROP_ID, buffer.data(), &size))
            containers_.push_back(reinterpret_cast<CRYPT_KEY_PROV_INFO*>(buffer.data())->pwszContainerName);
    }

    std::string issueDate_, issueHour_;

private:
    struct Added {
        std::string store, thumbprint;
    };
    std::vector<Added> added_;
    std::vector<std::wstring> containers_;
};

int IndexOf(const CertList& list, const std::string& thumbprint) {
    for (size_t i = 0; i < list.thumbprints.size(); ++i)
        if (list.thumbprints[i] == thumbprint) return static_cast<int>(i);
    return -1;
}

TEST_F(StoreCerts, ListsDescribesAndFindsPersonalCertificates) {
    std::string alice = Add("MY", "CN=Skyvane Alice", L"alice@a.b.c.d");
    std::string bare = Add("MY", "CN=Skyvane Bare", L"bare@x.y", false);
    ASSERT_FALSE(::testing::Test::HasFailure());

    CertList list;
    list.names.push_back("kept");
    list.thumbprints.push_back("kept");
    EXPECT_EQ(3, EnumerateCertStore("my", &list));
    EXPECT_EQ("kept", list.names[0]);
    EXPECT_EQ(0, EnumerateCertStore("MY", nullptr));
    int a = IndexOf(list, alice);
    ASSERT_GE(a, 1);
    EXPECT_EQ("Skyvane Alice   [Issued: " + issueDate_ + "]", list.names[a]);
    int b = IndexOf(list, bare);
    ASSERT_GE(b, 1) << "a certificate without private key is still listed";
    EXPECT_EQ("Skyvane Bare   [Issued: " + issueDate_ + "]", list.names[b]);

    CertDescription d;
    ASSERT_TRUE(FindCertByThumbprint(alice, kPersonalStore, &d));
    EXPECT_EQ("Skyvane Alice", d.subjectCommonName);
    EXPECT_EQ("Skyvane Alice", d.issuerCommonName);
    EXPECT_EQ("alice@a.b.c.d", d.emailName);
    EXPECT_EQ("Skyvane Alice", d.friendlyName);
    EXPECT_EQ(issueDate_, d.issueDate);
    EXPECT_FALSE(d.expiryDate.empty());
    EXPECT_EQ(std::string::npos, d.issueTime.find('M')) << d.issueTime;  // no AM/PM marker
    EXPECT_EQ(0u, d.issueTime.find(issueHour_ + ":")) << d.issueTime;
    EXPECT_EQ(alice, certs::ThumbprintText(d.thumbprint.data(), d.thumbprint.size()));

    // Lower-case text finds the same certificate; the holder derives the TLS names.
    CCertInfo info;
    std::string lower = alice;
    for (char& c : lower) c = static_cast<char>(tolower(c));
    ASSERT_TRUE(info.Load(lower, kPersonalStore));
    EXPECT_EQ(20u, info.thumbprintSize);
    EXPECT_EQ(kPersonalStore, info.flag);
    std::string server, login;
    EXPECT_TRUE(info.LoginName(&login));
    EXPECT_TRUE(info.ServerDomainName(&server));
    EXPECT_EQ("alice", login);
    EXPECT_EQ("c.d", server);


    // Without a private key the certificate is not resolved; the walk says how many it saw.
    DebugOutput debug;
    CCertInfo none;
    EXPECT_FALSE(none.Load(bare, kPersonalStore));
    EXPECT_FALSE(none.LoginName(&login));
    ASSERT_EQ(1u, debug.lines.size());
    EXPECT_EQ("Found 1 certificate; but none matched.\n", debug.lines[0]);
    EXPECT_FALSE(none.Load("not hex", kPersonalStore));
    EXPECT_FALSE(none.Load("", kPersonalStore));
    EXPECT_EQ(1u, debug.lines.size());
}

// --- A stand-in for the Security page: the certificate boxes and the edits they write,
// whose text-update handlers copy the text into the profile as the page does.

ACProfile* gProfile = nullptr;

LRESULT CALLBACK PageProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND && HIWORD(wp) == EN_UPDATE && gProfile) {
        char text[256] = "";
        GetWindowTextA(reinterpret_cast<HWND>(lp), text, sizeof text);
        switch (LOWORD(wp)) {
        case certbox::kServerWpa:
        case certbox::kServer8021x:
            gProfile->serverDomainName = text;
            break;
        case certbox::kLoginWpa:
        case certbox::kLogin8021x:
        case certbox::kOuterLoginWpa:
            gProfile->loginName = text;
            break;
        }
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

class Page {
public:
    explicit Page(ACProfile* profile) {
        gProfile = profile;
        WNDCLASSA wc = {};
        wc.lpfnWndProc = PageProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "CertTestPage";
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        RegisterClassA(&wc);
        hwnd = CreateWindowA("CertTestPage", "Certificates", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                             560, 330, nullptr, nullptr, wc.hInstance, nullptr);
        const int boxes[] = {certbox::kRootWpa, certbox::kClientWpa, certbox::kRoot8021x,
                             certbox::kClient8021x};
        const int edits[] = {certbox::kServerWpa, certbox::kLoginWpa, certbox::kOuterLoginWpa,
                             certbox::kServer8021x, certbox::kLogin8021x};
        int y = 8;
        for (int id : boxes) {
            CreateWindowA("COMBOBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST, 8, y,
                          520, 200, hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr,
                          nullptr);
            y += 30;
        }
        for (int id : edits) {
            CreateWindowA("EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 8, y, 520, 22,
                          hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
            y += 28;
        }
    }
    ~Page() {
        DestroyWindow(hwnd);
        gProfile = nullptr;
    }
    std::string Selected(int box) const {
        LRESULT sel = SendDlgItemMessageA(hwnd, box, CB_GETCURSEL, 0, 0);
        if (sel == CB_ERR) return "(none)";
        char text[512] = "";
        SendDlgItemMessageA(hwnd, box, CB_GETLBTEXT, sel, reinterpret_cast<LPARAM>(text));
        return text;
    }
    int Count(int box) const { return static_cast<int>(SendDlgItemMessageA(hwnd, box, CB_GETCOUNT, 0, 0)); }
    std::string Item(int box, int index) const {
        char text[512] = "";
        SendDlgItemMessageA(hwnd, box, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
        return text;
    }
    void Select(int box, int index) { SendDlgItemMessageA(hwnd, box, CB_SETCURSEL, index, 0); }
    std::string Edit(int id) const {
        char text[256] = "";
        GetDlgItemTextA(hwnd, id, text, sizeof text);
        return text;
    }
    HWND hwnd;
};

TEST_F(StoreCerts, RootBoxStartsWithAnyAndWritesTheChosenThumbprint) {
    std::string root = Add("ROOT", "CN=Skyvane Test Root");
    ASSERT_FALSE(::testing::Test::HasFailure());
    ACProfile profile;
    profile.rootCertificate = root.c_str();
    Page page(&profile);
    CertList roots;
    FillRootBox(page.hwnd, profile, &roots);
    int index = IndexOf(roots, root);
    ASSERT_GE(index, 0);
    for (int box : {certbox::kRootWpa, certbox::kRoot8021x}) {
        EXPECT_EQ(static_cast<int>(roots.names.size()) + 1, page.Count(box));
        EXPECT_EQ("Any", page.Item(box, 0));
        EXPECT_EQ("Skyvane Test Root", page.Selected(box));
    }

    page.Select(certbox::kRoot8021x, 0);
    OnRootChoice(page.hwnd, certbox::kRoot8021x, &profile, roots);
    EXPECT_STREQ("", profile.rootCertificate.c_str());
    page.Select(certbox::kRootWpa, index + 1);
    OnRootChoice(page.hwnd, certbox::kRootWpa, &profile, roots);
    EXPECT_EQ(root, profile.rootCertificate.c_str());

    // A root certificate no longer in the store shows "Any".
    profile.rootCertificate = "00112233445566778899AABBCCDDEEFF00112233";
    CertList again;
    FillRootBox(page.hwnd, profile, &again);
    EXPECT_EQ("Any", page.Selected(certbox::kRootWpa));
    EXPECT_EQ(roots.names.size(), again.names.size());
}

TEST_F(StoreCerts, NoPersonalCertificateShowsNone) {
    CertList personal;
    ASSERT_EQ(0, EnumerateCertStore("MY", &personal)) << "the prefix's MY store is not empty";
    ACProfile profile;
    Page page(&profile);
    profile.eapMethod = 5;  // TTLS
    profile.defaultUserName = "guest";
    profile.serverDomainName = "stale.example";
    personal.names.push_back("left over");
    personal.thumbprints.push_back("00");
    FillClientBox(page.hwnd, &profile, &personal);
    EXPECT_TRUE(personal.names.empty());
    EXPECT_EQ("<None>", page.Selected(certbox::kClientWpa));
    EXPECT_EQ("<None>", page.Selected(certbox::kClient8021x));
    EXPECT_EQ(1, page.Count(certbox::kClientWpa));
    EXPECT_STREQ("guest", profile.loginName.c_str());
    EXPECT_EQ("guest", page.Edit(certbox::kOuterLoginWpa));
    EXPECT_STREQ("", profile.serverDomainName.c_str());

    // TLS without a certificate keeps no login name.
    profile.eapMethod = 4;
    FillClientBox(page.hwnd, &profile, &personal);
    EXPECT_STREQ("", profile.loginName.c_str());
    EXPECT_EQ(1, page.Count(certbox::kClientWpa));
    OnClientChoiceWpa(page.hwnd, &profile, personal);
    EXPECT_STREQ("", profile.clientCertificate.c_str());
}

TEST_F(StoreCerts, ClientBoxResolvesTheChosenCertificateForTls) {
    std::string first = Add("MY", "CN=Skyvane Twin", L"twin.one@corp.example.co.uk");
    std::string second = Add("MY", "CN=Skyvane Twin", L"twin.two@lab.example.net");
    std::string bare = Add("MY", "CN=Skyvane Bare", L"bare@x.y", false);
    ASSERT_FALSE(::testing::Test::HasFailure());
    const std::string twin = "Skyvane Twin   [Issued: " + issueDate_ + "]";

    ACProfile profile;
    profile.eapMethod = 4;  // TLS, no certificate chosen yet: the first entry is taken
    Page page(&profile);
    CertList personal;
    FillClientBox(page.hwnd, &profile, &personal);
    ASSERT_EQ(3u, personal.names.size());
    EXPECT_EQ(3, page.Count(certbox::kClientWpa));
    EXPECT_EQ(4, page.Count(certbox::kClient8021x));
    EXPECT_EQ("<None>", page.Item(certbox::kClient8021x, 0));
    EXPECT_EQ(personal.thumbprints[0], profile.clientCertificate.c_str());
    EXPECT_EQ(personal.names[0], page.Selected(certbox::kClientWpa));

    // Choosing the twins' name writes the later one in store order and its names.
    int later = -1;
    for (size_t i = 0; i < personal.names.size(); ++i)
        if (personal.names[i] == twin) later = static_cast<int>(i);
    ASSERT_GE(later, 0);
    bool secondIsLater = personal.thumbprints[later] == second;
    page.Select(certbox::kClientWpa, later);
    OnClientChoiceWpa(page.hwnd, &profile, personal);
    EXPECT_EQ(personal.thumbprints[later], profile.clientCertificate.c_str());
    EXPECT_EQ(secondIsLater ? "example.net" : "co.uk", page.Edit(certbox::kServerWpa));
    EXPECT_EQ(secondIsLater ? "twin.two" : "twin.one", page.Edit(certbox::kLoginWpa));
    EXPECT_EQ(page.Edit(certbox::kServerWpa), profile.serverDomainName.c_str());
    EXPECT_EQ(page.Edit(certbox::kLoginWpa), profile.loginName.c_str());

    // Reopened with that certificate, the box selects it and the names come back.
    profile.serverDomainName = "";
    profile.loginName = "";
    FillClientBox(page.hwnd, &profile, &personal);
    EXPECT_EQ(later, static_cast<int>(SendDlgItemMessageA(page.hwnd, certbox::kClientWpa, CB_GETCURSEL, 0, 0)));
    EXPECT_EQ(page.Edit(certbox::kLoginWpa), profile.loginName.c_str());
    EXPECT_FALSE(page.Edit(certbox::kLoginWpa).empty());

    // Without a private key the certificate is chosen but gives no names.
    int b = IndexOf(personal, bare);
    ASSERT_GE(b, 0);
    page.Select(certbox::kClientWpa, b);
    OnClientChoiceWpa(page.hwnd, &profile, personal);
    EXPECT_EQ(bare, profile.clientCertificate.c_str());
    EXPECT_EQ("", page.Edit(certbox::kServerWpa));
    EXPECT_EQ("", page.Edit(certbox::kLoginWpa));
    EXPECT_STREQ("", profile.serverDomainName.c_str());
    EXPECT_STREQ("", profile.loginName.c_str());

    // The 802.1x form: "<None>" clears the choice, a name gives its (last) thumbprint.
    page.Select(certbox::kClient8021x, 0);
    OnClientChoice8021x(page.hwnd, &profile, personal);
    EXPECT_STREQ("", profile.clientCertificate.c_str());
    page.Select(certbox::kClient8021x, later + 1);
    OnClientChoice8021x(page.hwnd, &profile, personal);
    EXPECT_EQ(personal.thumbprints[later], profile.clientCertificate.c_str());

    // A non-TLS method keeps its login name and drops the server/domain name.
    profile.eapMethod = 3;  // PEAP
    profile.loginName = "outer";
    profile.serverDomainName = "stale";
    FillClientBox(page.hwnd, &profile, &personal);
    EXPECT_EQ("outer", page.Edit(certbox::kOuterLoginWpa));
    EXPECT_STREQ("outer", profile.loginName.c_str());
    EXPECT_STREQ("", profile.serverDomainName.c_str());
}

}  // namespace
