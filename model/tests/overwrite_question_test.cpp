#include "model/overwrite_question.h"

#include <gtest/gtest.h>

#include "model/backup_section.h"

namespace kb {
namespace {

TEST(OverwriteQuestionTest, FirstLineComparesTheTimes) {
  const std::string tail = "\ra.txt\rが存在します。上書きしますか？";
  EXPECT_EQ(OverwriteQuestion(200, 100, "C:\\src\\a.txt"),
            "コピー先に古いタイムスタンプのファイル" + tail);
  EXPECT_EQ(OverwriteQuestion(100, 200, "C:\\src\\a.txt"),
            "コピー先にコピーしようとしているファイル" + tail);
  EXPECT_EQ(OverwriteQuestion(100, 100, "C:\\src\\a.txt"),
            "コピー先にコピーしようとしているファイルと同じタイムスタンプの" + tail);
}

TEST(OverwriteQuestionTest, NamesTheFileByItsDoubleByteAwareFilePart) {
  const std::string q = OverwriteQuestion(1, 1, "C:\\表\\予定表.txt");
  EXPECT_NE(q.find("\r予定表.txt\r"), std::string::npos);
  EXPECT_EQ(q.find('\n'), std::string::npos);  // carriage returns only
}

TEST(BackupSectionNameTest, GroupTimesHundredPlusButton) {
  EXPECT_EQ(BackupSectionName(3, 12), "binf312");
  EXPECT_EQ(BackupSectionName(1, 1), "binf101");
  EXPECT_EQ(BackupSectionName(40, 40), "binf4040");
}

}  // namespace
}  // namespace kb
