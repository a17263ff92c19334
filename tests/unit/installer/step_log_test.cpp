#include "installer/step_log.h"

#include <gtest/gtest.h>

#include "fake_system.h"

using drivora_test::FakeSystem;

TEST(StepLog, LinesAreCutToTheirBufferAndKeepToOneLine) {
    char line[drivora::kLogLineMax];
    const drivora::LocalTime t{2026, 1, 2, 3, 4, 5};
    std::size_t n = drivora::FormatLogLine(line, t, "Remove", "file a\r\nb", "deleted");
    EXPECT_EQ("2026-01-02 03:04:05 | Remove | file a  b | deleted\r\n", std::string(line, n));

    const std::string huge(5000, 'x');
    n = drivora::FormatLogLine(line, t, huge, huge, huge);
    EXPECT_LT(n, drivora::kLogLineMax);
    EXPECT_EQ(n, std::strlen(line));
    EXPECT_EQ("\r\n", std::string(line + n - 2, 2));
}

TEST(StepLog, FileStopsGrowingAtItsBound) {
    FakeSystem sys;
    drivora::StepLog log(sys);
    // Just small enough to be kept at open; the run fills it up.
    sys.files["C:\\d.log"] = std::string(drivora::kRotateLogBytes, 'o');
    ASSERT_TRUE(log.Open("C:\\d.log"));
    for (int i = 0; i < 20000; ++i) log.Write("step " + std::to_string(i), "done");
    const std::string& text = sys.files["C:\\d.log"];
    EXPECT_LE(text.size(), drivora::kMaxLogBytes);
    EXPECT_GT(text.size(), drivora::kMaxLogBytes - drivora::kLogLineMax);
    EXPECT_NE(std::string::npos, text.find("| log | this file | full: later steps go to C:\\TEMP\\Drivora.log\r\n"));
    EXPECT_EQ(std::string::npos, text.find("step 19999"));
    EXPECT_NE(std::string::npos, sys.files["C:\\TEMP\\Drivora.log"].find("| step 19999 | done\r\n"));  // goes on there
}

TEST(StepLog, ALogFoundLargeAtOpenBecomesTheOldLog) {
    FakeSystem sys;
    drivora::StepLog log(sys);
    sys.files["C:\\W\\Drivora.log"] = std::string(drivora::kRotateLogBytes + 1, 'a');
    sys.files["C:\\W\\Drivora.old.log"] = "older run";
    ASSERT_TRUE(log.Open("C:\\W\\Drivora.log"));
    log.Write("newest", "logged");
    EXPECT_EQ(drivora::kRotateLogBytes + 1, sys.files["C:\\W\\Drivora.old.log"].size());
    EXPECT_EQ("2026-12-07 18:30:01 |  | newest | logged\r\n", sys.files["C:\\W\\Drivora.log"]);

    EXPECT_EQ("C:\\W\\Drivora.old.LOG", drivora::OldLogPath("C:\\W\\Drivora.LOG"));
    EXPECT_EQ("C:\\W\\setup.txt.old", drivora::OldLogPath("C:\\W\\setup.txt"));
}

TEST(StepLog, ASizeThatCannotBeHadCountsAsFull) {
    FakeSystem sys;
    drivora::StepLog log(sys);
    sys.sizeUnknown = true;
    ASSERT_TRUE(log.Open("C:\\d.log"));
    log.Write("step", "done");
    EXPECT_EQ("", sys.files["C:\\d.log"]);
}
