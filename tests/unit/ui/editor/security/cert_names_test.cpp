// Thumbprint texts and the names derived from a certificate's user principal or e-mail name.
#include <gtest/gtest.h>

#include "monitor/ui/editor/security/cert_names.h"

namespace {

using certs::LoginName;
using certs::ServerDomainName;

TEST(CertNames, ThumbprintTextRoundTrip) {
    const unsigned char hash[20] = {0x00, 0x01, 0x9A, 0xBC, 0xDE, 0xF0, 0x7F, 0x80, 0xFF, 0x10,
                                    0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF, 0x0F, 0xF0, 0x5A};
    std::string text = certs::ThumbprintText(hash, sizeof hash);
    EXPECT_EQ("00019ABCDEF07F80FF1023456789ABCDEF0FF05A", text);
    std::vector<unsigned char> bytes;
    ASSERT_TRUE(certs::ThumbprintBytes(text, &bytes));
    EXPECT_EQ(std::vector<unsigned char>(hash, hash + sizeof hash), bytes);
    // Either case reads the same; the text is always written back in upper case.
    ASSERT_TRUE(certs::ThumbprintBytes("abCDef", &bytes));
    EXPECT_EQ((std::vector<unsigned char>{0xAB, 0xCD, 0xEF}), bytes);
    EXPECT_EQ("ABCDEF", certs::ThumbprintText(bytes.data(), bytes.size()));
    EXPECT_EQ("", certs::ThumbprintText(nullptr, 0));
}

TEST(CertNames, ThumbprintTextThatIsNotHexIsRefused) {
    std::vector<unsigned char> bytes = {1, 2};
    for (const char* bad : {"ABC", "0G", "12 4", "-1", "1x", "AB\xC3\xA9"}) {
        EXPECT_FALSE(certs::ThumbprintBytes(bad, &bytes)) << bad;
        EXPECT_TRUE(bytes.empty()) << bad;
    }
    EXPECT_TRUE(certs::ThumbprintBytes("", &bytes));
    EXPECT_TRUE(bytes.empty());
}

TEST(CertNames, LoginAndServerFromPrincipalName) {
    std::string server;
    EXPECT_EQ("user", LoginName("user@a.b.c.d"));
    ASSERT_TRUE(ServerDomainName("user@a.b.c.d", &server));
    EXPECT_EQ("c.d", server);
    ASSERT_TRUE(ServerDomainName("user@b.c", &server));
    EXPECT_EQ("b.c", server);
    ASSERT_TRUE(ServerDomainName("u@a.b.c", &server));
    EXPECT_EQ("b.c", server);
    ASSERT_TRUE(ServerDomainName("u@corp", &server));
    EXPECT_EQ("corp", server);

    // No "@", two "@", or nothing after it: the whole name or the user part, no server.
    server = "unchanged";
    EXPECT_EQ("Plain Name", LoginName("Plain Name"));
    EXPECT_FALSE(ServerDomainName("Plain Name", &server));
    EXPECT_EQ("a@b@c.d", LoginName("a@b@c.d"));
    EXPECT_FALSE(ServerDomainName("a@b@c.d", &server));
    EXPECT_EQ("user", LoginName("user@"));
    EXPECT_FALSE(ServerDomainName("user@", &server));
    EXPECT_EQ("unchanged", server);
}

TEST(CertNames, NameSourcePrefersPrincipalThenEmailThenCommonName) {
    EXPECT_EQ("upn@x.y", certs::NameSource("upn@x.y", "mail@x.y", "CN"));
    EXPECT_EQ("mail@x.y", certs::NameSource("", "mail@x.y", "CN"));
    EXPECT_EQ("CN", certs::NameSource("", "", "CN"));
}

TEST(CertNames, DisplayTextAndDiagnostic) {
    EXPECT_EQ("Friendly", certs::DisplayText("Friendly", "Subject", "1/2/2026", false));
    EXPECT_EQ("Subject   [Issued: 1/2/2026]", certs::DisplayText("", "Subject", "1/2/2026", true));
    EXPECT_EQ("", certs::DisplayText("", "", "1/2/2026", true));
    EXPECT_EQ("Found 1 certificate; but none matched.\n", certs::NoneMatchedText(1));
    EXPECT_EQ("Found 0 certificates; but none matched.\n", certs::NoneMatchedText(0));
    EXPECT_EQ("Found 3 certificates; but none matched.\n", certs::NoneMatchedText(3));
}

}  // namespace
