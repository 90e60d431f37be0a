#include "model/overwrite_question.h"

#include "common/path.h"

namespace kb {

std::string OverwriteQuestion(std::int64_t sourceAge, std::int64_t destinationAge,
                              const std::string& sourcePath) {
  const char* first;
  if (sourceAge > destinationAge) {
    first = "コピー先に古いタイムスタンプのファイル";
  } else if (sourceAge < destinationAge) {
    first = "コピー先にコピーしようとしているファイル";
  } else {
    first = "コピー先にコピーしようとしているファイルと同じタイムスタンプの";
  }
  return std::string(first) + "\r" + std::string(FilePart(sourcePath)) + "\r" +
         "が存在します。上書きしますか？";
}

}  // namespace kb
