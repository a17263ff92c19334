// The current user's certificate stores through CryptoAPI: listing a store, describing a
// certificate, and finding one again by the thumbprint text a profile stores.
#pragma once
#include <windows.h>
#include <wincrypt.h>

#include <memory>
#include <string>
#include <vector>

// What is shown and derived from one certificate. A text the certificate does not have is
// empty; a thumbprint the system reports with size 0 is empty.
struct CertDescription {
    std::string subjectCommonName;
    std::string emailName;
    std::string issuerCommonName;
    std::string expiryDate;  // short date, user's locale
    std::string friendlyName;
    std::string issueDate;  // short date, user's locale
    std::string issueTime;  // 24-hour time, user's locale
    std::string principalName;
    std::vector<unsigned char> thumbprint;  // SHA-1 hash
};

// Which store a certificate is looked up in; the values are the ones callers pass around.
enum CertStoreFlag { kPersonalStore = 0, kRootStore = 1 };

// A store's entries: display names and thumbprint texts, index-aligned.
struct CertList {
    std::vector<std::string> names;
    std::vector<std::string> thumbprints;
    void Clear() {
        names.clear();
        thumbprints.clear();
    }
};

// Appends every describable certificate of the system store `storeName` ("ROOT", "MY") to
// `list`; entries of "MY" show their issue date. Returns the list's size (0 without a list);
// a store that cannot be opened leaves the list as it is.
int EnumerateCertStore(const char* storeName, CertList* list);

// False when the certificate's thumbprint cannot be read.
bool DescribeCertificate(PCCERT_CONTEXT cert, CertDescription* description);

// The common name ("2.5.4.3") of an encoded subject or issuer name; empty when the name
// cannot be decoded or has none.
std::string CommonName(const CERT_NAME_BLOB& encodedName);

// The certificate with this thumbprint text: in "ROOT" any, in "MY" only one with a private
// key. What goes wrong is written to the debug output.
bool FindCertByThumbprint(const std::string& thumbprintText, CertStoreFlag flag,
                          CertDescription* description);

// A certificate resolved by its thumbprint, and the names derived from it.
class CCertInfo {
public:
    static const size_t kMaxThumbprint = 152;

    CCertInfo() = default;
    virtual ~CCertInfo() = default;
    CCertInfo(const CCertInfo&) = delete;
    CCertInfo& operator=(const CCertInfo&) = delete;

    // On success holds the thumbprint, the description and the flag. A thumbprint longer
    // than kMaxThumbprint bytes is refused.
    bool Load(const std::string& thumbprintText, CertStoreFlag flag);
    bool ServerDomainName(std::string* server) const;
    bool LoginName(std::string* login) const;

    size_t thumbprintSize = 0;
    unsigned char thumbprint[kMaxThumbprint] = {};
    std::unique_ptr<CertDescription> description;
    CertStoreFlag flag = kPersonalStore;

private:
    std::string NameSource() const;
};
