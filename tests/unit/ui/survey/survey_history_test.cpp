// The Site Survey's memory of networks across scans, and its export and clipboard texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "monitor/ui/survey/survey_export.h"
#include "monitor/ui/survey/survey_history.h"

using namespace survey;

namespace {

Row Net(const std::string& ssid, const std::string& bssid) {
    Row r;
    r.ssid = ssid;
    r.bssid = bssid;
    return r;
}

// "ssid:missed" for each network, in order.
std::vector<std::string> Listed(const History& h) {
    std::vector<std::string> out;
    for (const Sighting& s : h.Networks()) out.push_back(s.row.ssid + ":" + std::to_string(s.missedScans));
    return out;
}

// A reader as a spreadsheet reads RFC 4180 text: records of fields.
std::vector<std::vector<std::string>> ReadCsv(const std::string& text) {
    std::vector<std::vector<std::string>> records(1, std::vector<std::string>(1));
    for (size_t i = 0; i < text.size(); ++i) {
        std::string& field = records.back().back();
        char c = text[i];
        if (c == '"' && field.empty()) {
            for (++i; i < text.size(); ++i) {
                if (text[i] == '"' && i + 1 < text.size() && text[i + 1] == '"') field += text[++i];
                else if (text[i] == '"') break;
                else field += text[i];
            }
        } else if (c == ',') {
            records.back().emplace_back();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
            records.emplace_back(1);
        } else {
            field += c;
        }
    }
    records.pop_back();  // after the last CR LF
    return records;
}

}  // namespace

TEST(SurveyHistory, AMissedNetworkStaysForThreeScansAndKeepsItsFirstSighting) {
    History h;
    h.Update({Net("A", "01"), Net("B", "02"), Net("B", "03")}, 1000, "t1");
    h.Update({Net("B", "03"), Net("C", "04")}, 31000, "t2");
    EXPECT_EQ((std::vector<std::string>{"B:0", "C:0", "A:1", "B:1"}), Listed(h));
    const Sighting& b3 = h.Networks()[0];
    EXPECT_EQ("t1", b3.firstSeen);
    EXPECT_EQ("t2", b3.lastSeen);
    EXPECT_EQ(1000u, b3.firstTick);
    EXPECT_EQ("last seen 45 s ago", LastSeenText("last seen %u s ago", h.Networks()[2], 46999));

    h.Update({Net("C", "04")}, 61000, "t3");
    h.Update({Net("C", "04")}, 91000, "t4");
    EXPECT_EQ((std::vector<std::string>{"C:0", "B:2", "A:3", "B:3"}), Listed(h));
    h.Update({Net("C", "04"), Net("A", "01")}, 121000, "t5");  // A is back: the same sighting
    EXPECT_EQ((std::vector<std::string>{"C:0", "A:0", "B:3"}), Listed(h));
    EXPECT_EQ("t1", h.Networks()[1].firstSeen);
    h.Update({}, 151000, "t6");
    EXPECT_EQ((std::vector<std::string>{"C:1", "A:1"}), Listed(h));
}

TEST(SurveyHistory, ANetworkListedTwiceInOneScanStaysListedTwice) {
    History h;
    h.Update({Net("Twin", "01"), Net("Twin", "01")}, 0, "t1");
    h.Update({Net("Twin", "01"), Net("Twin", "01")}, 1, "t2");
    EXPECT_EQ((std::vector<std::string>{"Twin:0", "Twin:0"}), Listed(h));
}

TEST(SurveyExport, AwkwardSsidsRoundTripThroughCsv) {
    const std::vector<std::vector<std::string>> rows = {
        {"SSID", "Channel", "First seen"},
        {"Cafe, Bar & Grill", "6", "2024-05-01 12:00:00"},
        {"Say \"hi\"", "11", ""},
        {"\"", ",", "a\r\n"},
        {"Caf\xE9 \xFF\x80 Stra\xDF" "e", "1", "x"},
        {"0123456789abcdef0123456789ABCDEF", "14", "y"},
        {"", "", ""},
        {" lead and trail ", "36", "z"},
    };
    std::string text;
    for (const auto& r : rows) text += CsvLine(r);
    EXPECT_EQ(rows, ReadCsv(text));
    EXPECT_EQ("Cafe, Bar & Grill", ReadCsv(text)[1][0]);
    EXPECT_EQ("\"Say \"\"hi\"\"\",11,\r\n", CsvLine({"Say \"hi\"", "11", ""}));
    EXPECT_EQ("plain,6\r\n", CsvLine({"plain", "6"}));  // nothing quoted that need not be
    // What a spreadsheet would run as a formula is written as text.
    EXPECT_EQ("'=1+2,'+A1,'-2+3,'@SUM(A1),'\tT,\"'\rL\",\"'=\"\"x\"\"\",a=b\r\n",
              CsvLine({"=1+2", "+A1", "-2+3", "@SUM(A1)", "\tT", "\rL", "=\"x\"", "a=b"}));
}

TEST(SurveyExport, ACopiedRowIsOneLineOfTabSeparatedCells) {
    EXPECT_EQ("Home\t00:03:7F:1A:2B:01\t6\r\n", TabLine({"Home", "00:03:7F:1A:2B:01", "6"}));
    EXPECT_EQ("a b c\t\r\n", TabLine({"a\tb\nc", ""}));
}
