// The operation log on both back ends: exact bytes of entries, emptying, viewer.

#include "log/operation_log.h"

#include "store/conformance.h"
#include "support/test_support.h"

namespace korvanta::test {
namespace {

class OperationLogTest : public StoreTest {
 protected:
  void SetUp() override {
    StoreTest::SetUp();
    files().DeleteFile(log_.Path(), true);
  }
  std::string Bytes() {
    std::string bytes;
    files().ReadFile(log_.Path(), bytes);
    return bytes;
  }
  FixedClock clock_;
  log::OperationLog log_{machine(), clock_};
};

TEST_F(OperationLogTest, EntriesAreTwoAnsiLines) {
  log_.AppendLogEntry("其它设置与优化成功  ");
  log_.AppendLogEntry("设置Korvanta密码成功 ");
  std::string gbk_first = machine().codepage().ToAnsi("其它设置与优化成功");
  std::string gbk_second = machine().codepage().ToAnsi("设置Korvanta密码成功");
  EXPECT_EQ(Bytes(), " \r\n" + gbk_first + "  12-03-2026  22:55:00\r\n" + " \r\n" + gbk_second +
                         " 12-03-2026  22:55:00\r\n");
  EXPECT_EQ(log_.Path(), machine().paths().ProgramFolder() + "\\tamrik.Log");
}

TEST_F(OperationLogTest, EmptyingLeavesOneSpaceAndTheNextEntryFollowsIt) {
  log_.AppendLogEntry("a");
  log_.Clear();
  EXPECT_EQ(Bytes(), " ");
  log_.AppendLogEntry("删除垃圾文件成功！  ");
  EXPECT_EQ(Bytes(), "  \r\n" + machine().codepage().ToAnsi("删除垃圾文件成功！") +
                         "  12-03-2026  22:55:00\r\n");
}

TEST_F(OperationLogTest, ViewerOnAMissingOrEmptyLogShowsOneSpace) {
  EXPECT_EQ(log_.ReadForViewer(), " ");
  EXPECT_EQ(Bytes(), " ") << "the viewer creates the log holding one space";
  ASSERT_EQ(files().WriteFile(log_.Path(), ""), store::kSuccess);
  EXPECT_EQ(log_.ReadForViewer(), " ");
  EXPECT_EQ(Bytes(), " ");
  log_.AppendLogEntry("清空Korvanta密码成功 ");
  EXPECT_EQ(log_.ReadForViewer(), "  \r\n清空Korvanta密码成功 12-03-2026  22:55:00\r\n");
}

TEST_F(OperationLogTest, AnUnwritableLogLosesTheEntryQuietly) {
  ASSERT_EQ(files().CreateDirectory(log_.Path()), store::kSuccess);  // a folder where the file goes
  log_.AppendLogEntry("x");
  log_.Clear();
  auto e = files().Stat(log_.Path());
  ASSERT_TRUE(e.has_value());
  EXPECT_TRUE(e->is_directory());
  std::vector<store::FileEntry> none;
  files().List(log_.Path() + "\\*.*", none);
  EXPECT_TRUE(none.empty());
  EXPECT_EQ(log_.ReadForViewer(), " ") << "the viewer shows what it could not write";
  EXPECT_EQ(files().RemoveDirectory(log_.Path()), store::kSuccess);
}

}  // namespace
}  // namespace korvanta::test
