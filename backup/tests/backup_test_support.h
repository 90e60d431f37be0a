// Files and folders for the backup's Windows tests.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "common/file_io.h"
#include "win/testing/temp_folder.h"

namespace kb::backup_testing {

// The tests' temporary folder; a file that cannot be read reads as
// "<missing>", so an expected empty file is told from a missing one.
class TempDir : public win::testing::TempFolder {
 public:
  explicit TempDir(const std::string& tag = "kbb") : TempFolder(tag) {}
  std::string Read(const std::string& relative) const {
    return ReadWholeFile(Path(relative)).value_or("<missing>");
  }
};

// Last-write time of a file (0 when it is missing).
ULONGLONG LastWrite(const std::string& path);
void SetLastWrite(const std::string& path, ULONGLONG time);

// Opens a file so that nobody else may open it at all, until destroyed.
class HeldFile {
 public:
  explicit HeldFile(const std::string& path);
  ~HeldFile();
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;
  bool held() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

// Runs `step` about delayMs from now on this thread, from whatever message
// loop runs then (a modal dialog's own loop too).  Returns an id for Cancel.
UINT_PTR RunLater(std::function<void()> step, UINT delayMs = 30);
// Drops a step that has not run yet (a test must not leave one behind that
// reaches into its ended fixture).
void Cancel(UINT_PTR id);

}  // namespace kb::backup_testing
