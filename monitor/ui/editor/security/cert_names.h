// Certificate texts without the certificate store: thumbprint text, the display text of a
// store entry, and the login and server/domain names derived from a certificate's names.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace certs {

// Upper-case hexadecimal, two digits per byte, high nibble first.
std::string ThumbprintText(const unsigned char* bytes, size_t count);

// Reads pairs of hexadecimal digits of either case. False, with `bytes` empty, for an odd
// length or any character that is not a hexadecimal digit.
bool ThumbprintBytes(const std::string& text, std::vector<unsigned char>* bytes);

// Splits only a name with exactly one "@": the text before it and the text after it.
bool SplitAtSign(const std::string& name, std::string* user, std::string* domain);

// The name the login and server/domain names come from: the user principal name, else the
// e-mail name, else the subject common name.
std::string NameSource(const std::string& principalName, const std::string& emailName,
                       const std::string& subjectCommonName);

// The user part of a name with one "@", else the whole name.
std::string LoginName(const std::string& source);

// The last two labels of the domain part of a name with one "@" ("user@a.b.c.d" gives
// "c.d"); false when the name does not split or its domain part is empty.
bool ServerDomainName(const std::string& source, std::string* server);

// The friendly display name, or the subject common name without one; with the issue date
// the text "   [Issued: <date>]" follows. Empty when the certificate has neither name.
std::string DisplayText(const std::string& friendlyName, const std::string& subjectCommonName,
                        const std::string& issueDate, bool withIssueDate);

// The diagnostic after a walk of `count` certificates found no match.
std::string NoneMatchedText(int count);

}  // namespace certs
