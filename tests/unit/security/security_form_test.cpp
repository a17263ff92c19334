// The Security page's form decisions: a stored kind opens where choosing it again writes the
// same kind, and every view shows each row once.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "monitor/res/resource.h"
#include "monitor/ui/editor/security/security_form.h"

using namespace security_form;

TEST(SecurityForm, AStoredKindOpensOnTheEntryThatWritesItAgain) {
    for (bool infrastructure : {true, false}) {
        for (int method : {0, 1, 3, 4, 5, 7}) {
            for (int wpa : {0, 1}) {
                SCOPED_TRACE(testing::Message() << "infrastructure " << infrastructure << " method " << method
                                                << " wpa " << wpa);
                if (!infrastructure && AdHocMustDropKind(method, wpa)) continue;
                Opening opening = OpeningFor(method, wpa, infrastructure);
                ASSERT_TRUE(opening.known);
                View view;
                Kind kind;
                if (opening.view == View::Eap8021x) {
                    // No entry of the box: choosing any entry leaves the kind.
                    EXPECT_FALSE(KindOfIndex(opening.securityIndex, infrastructure, method, &view, &kind));
                    continue;
                }
                ASSERT_TRUE(KindOfIndex(opening.securityIndex, infrastructure, method, &view, &kind));
                EXPECT_EQ(opening.view, view);
                EXPECT_EQ(method, kind.eapMethod);
                EXPECT_EQ(method == 0 ? 0 : wpa, kind.wpa);
                EXPECT_EQ(method == 0 ? 0 : 1, kind.privacy);
            }
        }
    }
    EXPECT_FALSE(OpeningFor(2, 0, true).known);
    EXPECT_TRUE(AdHocMustDropKind(7, 1));
    EXPECT_FALSE(AdHocMustDropKind(7, 0));
    View view;
    Kind kind;
    EXPECT_FALSE(KindOfIndex(2, false, 4, &view, &kind)) << "ad hoc offers None and WEP only";
}

TEST(SecurityForm, EveryViewShowsEachRowOnceAndOnlyFormControls) {
    const std::vector<int>& all = AllFormControls();
    const std::set<int> known(all.begin(), all.end());
    // The controls that share a row in the template; a view shows at most one of each group.
    const std::vector<std::set<int>> rows = {
        {IDC_SEC_AUTH, IDC_SEC_PSK, IDC_SEC_WPA_EAP, IDC_SEC_X_EAP},
        {IDC_SEC_KEY_LENGTH, IDC_SEC_WPA_ROOT, IDC_SEC_X_ROOT},
        {IDC_SEC_KEY_FORMAT, IDC_SEC_WPA_CLIENT, IDC_SEC_X_CLIENT},
        {IDC_SEC_KEY1, IDC_SEC_WPA_USER, IDC_SEC_WPA_SERVER, IDC_SEC_X_USER, IDC_SEC_X_SERVER},
        {IDC_SEC_KEY2, IDC_SEC_WPA_PASSWORD, IDC_SEC_WPA_LOGIN, IDC_SEC_X_PASSWORD, IDC_SEC_X_LOGIN},
        {IDC_SEC_KEY3, IDC_SEC_WPA_OUTER_LOGIN, IDC_SEC_WPA_LEAP_DOMAIN}};
    for (View view : {View::None, View::Wep, View::Psk, View::WpaEap, View::Eap8021x}) {
        for (int method : {1, 3, 4, 5, 7}) {
            Form form = FormOf(view, method);
            for (size_t r = 0; r < rows.size(); ++r) {
                int shown = 0;
                for (int id : form.controls) shown += rows[r].count(id) ? 1 : 0;
                EXPECT_LE(shown, 1) << "row " << r + 1;
                EXPECT_EQ(shown == 1, form.labels[r] != 0) << "row " << r + 1 << " label";
            }
            for (int id : form.controls) EXPECT_EQ(1u, known.count(id)) << id;
        }
    }
    EXPECT_EQ(IDS_SEC_WPA_SERVER, FormOf(View::WpaEap, kLeap).labels[5]) << "LEAP's domain row";
    EXPECT_EQ(IDS_SEC_WPA_LOGIN, FormOf(View::WpaEap, kPeap).labels[5]);
    EXPECT_FALSE(FormOf(View::WpaEap, kLeap).rootEnabled);
    EXPECT_FALSE(FormOf(View::Eap8021x, kTtls).clientEnabled);
}

TEST(SecurityForm, KeyRules) {
    EXPECT_EQ("0000000000", ZeroKey(40, true));
    EXPECT_EQ("00000", ZeroKey(40, false));
    EXPECT_EQ(std::string(26, '0'), ZeroKey(104, true));
    EXPECT_EQ(std::string(13, '0'), ZeroKey(104, false));
    EXPECT_EQ(std::string(32, '0'), ZeroKey(128, true));
    EXPECT_EQ(std::string(16, '0'), ZeroKey(128, false));
    EXPECT_EQ(0, KeyChars(64, true)) << "another length has no limit";
    EXPECT_EQ(-1, KeyLengthIndex(64));
    EXPECT_EQ(2, KeyLengthIndex(128));
    for (const char* kept : {"", "0", "9", "A", "F", "zz0"})
        EXPECT_EQ(std::strlen(kept), HexFilterKeeps(kept)) << kept;
    for (const char* dropped : {"G", "a", "f", " "}) EXPECT_EQ(0u, HexFilterKeeps(dropped)) << dropped;
    EXPECT_EQ(1u, HexFilterKeeps("0:"));
    EXPECT_EQ(3u, HexFilterKeeps("0G1-@z"));
}
