#include "monitor/ui/editor/security/cert_names.h"

namespace certs {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

std::string ThumbprintText(const unsigned char* bytes, size_t count) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(count * 2);
    for (size_t i = 0; i < count; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0F];
    }
    return text;
}

bool ThumbprintBytes(const std::string& text, std::vector<unsigned char>* bytes) {
    bytes->clear();
    if (text.size() % 2 != 0) return false;
    bytes->reserve(text.size() / 2);
    for (size_t i = 0; i < text.size(); i += 2) {
        int high = HexValue(text[i]);
        int low = HexValue(text[i + 1]);
        if (high < 0 || low < 0) {
            bytes->clear();
            return false;
        }
        bytes->push_back(static_cast<unsigned char>(high << 4 | low));
    }
    return true;
}

bool SplitAtSign(const std::string& name, std::string* user, std::string* domain) {
    size_t at = name.find('@');
    if (at == std::string::npos || name.find('@', at + 1) != std::string::npos) return false;
    *user = name.substr(0, at);
    *domain = name.substr(at + 1);
    return true;
}

std::string NameSource(const std::string& principalName, const std::string& emailName,
                       const std::string& subjectCommonName) {
    if (!principalName.empty()) return principalName;
    if (!emailName.empty()) return emailName;
    return subjectCommonName;
}

std::string LoginName(const std::string& source) {
    std::string user, domain;
    return SplitAtSign(source, &user, &domain) ? user : source;
}

bool ServerDomainName(const std::string& source, std::string* server) {
    std::string user, domain;
    if (!SplitAtSign(source, &user, &domain) || domain.empty()) return false;
    size_t lastDot = domain.rfind('.');
    if (lastDot == std::string::npos) {
        *server = domain;
        return true;
    }
    std::string head = domain.substr(0, lastDot);
    size_t headDot = head.rfind('.');
    if (headDot != std::string::npos) head = head.substr(headDot + 1);
    *server = head + domain.substr(lastDot);
    return true;
}

std::string DisplayText(const std::string& friendlyName, const std::string& subjectCommonName,
                        const std::string& issueDate, bool withIssueDate) {
    std::string text = friendlyName.empty() ? subjectCommonName : friendlyName;
    if (!text.empty() && withIssueDate) text += "   [Issued: " + issueDate + "]";
    return text;
}

std::string NoneMatchedText(int count) {
    return "Found " + std::to_string(count) + " certificate" + (count == 1 ? "" : "s") +
           "; but none matched.\n";
}

}  // namespace certs
