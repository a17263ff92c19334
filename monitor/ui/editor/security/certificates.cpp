#include "monitor/ui/editor/security/certificates.h"

#include <cstring>
#include <type_traits>

#include "athcfg/athcfg.h"
#include "framework/library.h"
#include "monitor/ui/editor/security/cert_names.h"

namespace {

// CryptoAPI, loaded when a certificate is first wanted: with what it brings along (Wine's
// TLS libraries among them) it costs a monitor that never shows a certificate megabytes.
struct CryptoApi {
    decltype(&CertOpenSystemStoreA) openSystemStore;
    decltype(&CertCloseStore) closeStore;
    decltype(&CertEnumCertificatesInStore) enumCertificates;
    decltype(&CertFreeCertificateContext) freeContext;
    decltype(&CertGetCertificateContextProperty) getProperty;
    decltype(&CryptDecodeObject) decodeObject;
    decltype(&CertFindRDNAttr) findRdnAttr;
    decltype(&CertRDNValueToStrA) rdnValueToStr;
};

// Every function null when the library or one of its functions is missing: then no store
// opens and nothing is decoded.
const CryptoApi* Crypto() {
    static const CryptoApi api = [] {
        CryptoApi a = {};
        bool all = true;
        auto get = [&all](auto& slot, const char* name) {
            slot = fw::LoadedFunction<std::remove_reference_t<decltype(slot)>>("crypt32.dll", name);
            all = all && slot;
        };
        get(a.openSystemStore, "CertOpenSystemStoreA");
        get(a.closeStore, "CertCloseStore");
        get(a.enumCertificates, "CertEnumCertificatesInStore");
        get(a.freeContext, "CertFreeCertificateContext");
        get(a.getProperty, "CertGetCertificateContextProperty");
        get(a.decodeObject, "CryptDecodeObject");
        get(a.findRdnAttr, "CertFindRDNAttr");
        get(a.rdnValueToStr, "CertRDNValueToStrA");
        return all ? a : CryptoApi{};
    }();
    return &api;
}

// A system store opened by name; closed on every exit path, or earlier through Close when
// the caller wants to know whether closing worked.
class SystemStore {
public:
    explicit SystemStore(const char* name)
        : store_(Crypto()->openSystemStore ? Crypto()->openSystemStore(0, name) : nullptr) {}
    ~SystemStore() { Close(); }
    SystemStore(const SystemStore&) = delete;
    SystemStore& operator=(const SystemStore&) = delete;
    HCERTSTORE get() const { return store_; }
    bool Close() {
        HCERTSTORE store = store_;
        store_ = nullptr;
        return !store || Crypto()->closeStore(store, 0);
    }

private:
    HCERTSTORE store_;
};

// Walks a store in its order, every certificate or only those with a private-key provider;
// the context last handed out is released when the walk ends early.
class CertWalk {
public:
    CertWalk(HCERTSTORE store, bool withKeyOnly) : store_(store), withKeyOnly_(withKeyOnly) {}
    ~CertWalk() {
        if (current_) Crypto()->freeContext(current_);
    }
    CertWalk(const CertWalk&) = delete;
    CertWalk& operator=(const CertWalk&) = delete;
    // Null at the end of the store or on an error (see GetLastError).
    PCCERT_CONTEXT Next() {
        // The property is checked here rather than through a CERT_FIND_PROPERTY search,
        // which some CryptoAPI implementations do not offer.
        do {
            current_ = Crypto()->enumCertificates(store_, current_);  // releases the previous
        } while (current_ && withKeyOnly_ && !HasKeyProvider(current_));
        return current_;
    }

private:
    static bool HasKeyProvider(PCCERT_CONTEXT cert) {
        DWORD size = 0;
        return Crypto()->getProperty(cert, CERT_KEY_PROV_INFO_PROP_ID, nullptr, &size) &&
               size > 0;
    }

    HCERTSTORE store_;
    bool withKeyOnly_;
    PCCERT_CONTEXT current_ = nullptr;
};

// Looked up by name: that 98 SE's crypt32 has it rests on no published document. Without it
// (or with a stub) the friendly, e-mail and principal names stay empty and a certificate is
// listed by its subject's common name.
using GetNameStringCall = DWORD(WINAPI*)(PCCERT_CONTEXT, DWORD, DWORD, void*, LPSTR, DWORD);
GetNameStringCall GetNameString() {
    static const GetNameStringCall call = [] {
        auto found = fw::LoadedFunction<GetNameStringCall>("crypt32.dll", "CertGetNameStringA");
        if (!found) DbgPrintf("CertGetNameStringA is missing: certificates are listed by their subject names.\n");
        return found;
    }();
    return call;
}

std::string NameString(PCCERT_CONTEXT cert, DWORD type) {
    const GetNameStringCall getNameString = GetNameString();
    DWORD size = getNameString ? getNameString(cert, type, 0, nullptr, nullptr, 0) : 0;
    if (size == 0) return std::string();
    std::vector<char> text(size);
    getNameString(cert, type, 0, nullptr, text.data(), size);
    text[size - 1] = 0;
    return text.data();
}

// Certificate times are UTC; they are shown in local time.
bool LocalTime(const FILETIME& utc, SYSTEMTIME* local) {
    FILETIME localFile;
    return FileTimeToLocalFileTime(&utc, &localFile) && FileTimeToSystemTime(&localFile, local);
}

// GetDateFormatA or GetTimeFormatA in the user's locale.
using LocalFormat = int(WINAPI*)(LCID, DWORD, const SYSTEMTIME*, LPCSTR, LPSTR, int);

std::string LocalText(const FILETIME& utc, LocalFormat format, DWORD flags) {
    SYSTEMTIME st;
    if (!LocalTime(utc, &st)) return std::string();
    int size = format(LOCALE_USER_DEFAULT, flags, &st, nullptr, nullptr, 0);
    if (size <= 0) return std::string();
    std::vector<char> text(size);
    if (!format(LOCALE_USER_DEFAULT, flags, &st, nullptr, text.data(), size)) return std::string();
    return text.data();
}

std::string ShortDate(const FILETIME& utc) { return LocalText(utc, GetDateFormatA, DATE_SHORTDATE); }

std::string Time24(const FILETIME& utc) {
    return LocalText(utc, GetTimeFormatA, TIME_FORCE24HOURFORMAT | TIME_NOTIMEMARKER);
}

// Decoded into a buffer aligned for the structure it holds; empty when decoding fails.
std::vector<ULONGLONG> Decode(LPCSTR type, const CRYPT_DATA_BLOB& encoded) {
    DWORD size = 0;
    if (!Crypto()->decodeObject || !Crypto()->decodeObject(X509_ASN_ENCODING, type, encoded.pbData, encoded.cbData, 0,
                                                          nullptr, &size) ||
        size == 0)
        return {};
    std::vector<ULONGLONG> buffer((size + sizeof(ULONGLONG) - 1) / sizeof(ULONGLONG));
    if (!Crypto()->decodeObject(X509_ASN_ENCODING, type, encoded.pbData, encoded.cbData, 0, buffer.data(),
                                &size))
        return {};
    return buffer;
}

}  // namespace

std::string CommonName(const CERT_NAME_BLOB& encodedName) {
    std::vector<ULONGLONG> buffer = Decode(X509_NAME, encodedName);
    if (buffer.empty()) return std::string();
    CERT_RDN_ATTR* attr =
        Crypto()->findRdnAttr(szOID_COMMON_NAME, reinterpret_cast<CERT_NAME_INFO*>(buffer.data()));
    if (!attr) return std::string();
    DWORD length = Crypto()->rdnValueToStr(attr->dwValueType, &attr->Value, nullptr, 0);
    if (length <= 1) return std::string();
    std::vector<char> text(length);
    Crypto()->rdnValueToStr(attr->dwValueType, &attr->Value, text.data(), length);
    text[length - 1] = 0;
    return text.data();
}

bool DescribeCertificate(PCCERT_CONTEXT cert, CertDescription* description) {
    CertDescription d;
    const CERT_INFO& info = *cert->pCertInfo;
    d.subjectCommonName = CommonName(info.Subject);
    d.emailName = NameString(cert, CERT_NAME_EMAIL_TYPE);
    d.issuerCommonName = CommonName(info.Issuer);
    d.expiryDate = ShortDate(info.NotAfter);
    d.friendlyName = NameString(cert, CERT_NAME_FRIENDLY_DISPLAY_TYPE);
    d.issueDate = ShortDate(info.NotBefore);
    d.issueTime = Time24(info.NotBefore);
    d.principalName = NameString(cert, CERT_NAME_UPN_TYPE);

    DWORD size = 0;
    Crypto()->getProperty(cert, CERT_SHA1_HASH_PROP_ID, nullptr, &size);
    if (size > 0) {
        d.thumbprint.resize(size);
        if (!Crypto()->getProperty(cert, CERT_SHA1_HASH_PROP_ID, d.thumbprint.data(), &size))
            return false;
        d.thumbprint.resize(size);
    }
    *description = std::move(d);
    return true;
}

int EnumerateCertStore(const char* storeName, CertList* list) {
    if (!list) return 0;
    SystemStore store(storeName);
    if (!store.get()) return static_cast<int>(list->names.size());
    bool personal = lstrcmpiA(storeName, "MY") == 0;
    CertWalk walk(store.get(), false);
    while (PCCERT_CONTEXT cert = walk.Next()) {
        CertDescription d;
        if (!DescribeCertificate(cert, &d)) continue;
        list->names.push_back(
            certs::DisplayText(d.friendlyName, d.subjectCommonName, d.issueDate, personal));
        list->thumbprints.push_back(certs::ThumbprintText(d.thumbprint.data(), d.thumbprint.size()));
    }
    return static_cast<int>(list->names.size());
}

bool FindCertByThumbprint(const std::string& thumbprintText, CertStoreFlag flag,
                          CertDescription* description) {
    const char* storeName = flag == kRootStore ? "ROOT" : "MY";
    std::vector<unsigned char> wanted;
    // A text that is not a thumbprint cannot match anything.
    if (thumbprintText.empty() || !certs::ThumbprintBytes(thumbprintText, &wanted)) return false;
    SystemStore store(storeName);
    if (!store.get()) {
        DbgPrintf("Failed to open certificate store named '%s'.\n", storeName);
        return false;
    }
    bool found = false, searched = false;
    {
        CertWalk walk(store.get(), flag == kPersonalStore);
        int count = 0;
        for (;;) {
            PCCERT_CONTEXT cert = walk.Next();
            if (!cert) {
                if (GetLastError() != static_cast<DWORD>(CRYPT_E_NOT_FOUND)) {
                    DbgPrintf("Failed to find next certificate.\n");
                } else {
                    searched = true;
                    if (!found) DbgPrintf("%s", certs::NoneMatchedText(count).c_str());
                }
                break;
            }
            ++count;
            CertDescription d;
            if (!DescribeCertificate(cert, &d)) {
                DbgPrintf("Failed to get certificate description.\n");
                break;
            }
            if (d.thumbprint != wanted) continue;
            if (found) {
                DbgPrintf("More than one certificate matched.\n");
                searched = true;
                break;
            }
            found = true;
            *description = std::move(d);
        }
    }
    if (!store.Close() && searched)
        DbgPrintf("Failed to close certificate store named '%s'.\n", storeName);
    return found;
}

bool CCertInfo::Load(const std::string& thumbprintText, CertStoreFlag storeFlag) {
    auto found = std::make_unique<CertDescription>();
    if (!FindCertByThumbprint(thumbprintText, storeFlag, found.get())) return false;
    if (found->thumbprint.size() > kMaxThumbprint) return false;
    thumbprintSize = found->thumbprint.size();
    std::memcpy(thumbprint, found->thumbprint.data(), thumbprintSize);
    description = std::move(found);
    flag = storeFlag;
    return true;
}

std::string CCertInfo::NameSource() const {
    return certs::NameSource(description->principalName, description->emailName,
                             description->subjectCommonName);
}

bool CCertInfo::ServerDomainName(std::string* server) const {
    return description && certs::ServerDomainName(NameSource(), server);
}

bool CCertInfo::LoginName(std::string* login) const {
    if (!description) return false;
    *login = certs::LoginName(NameSource());
    return true;
}
