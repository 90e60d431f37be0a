// Files and folders for the backup's Windows tests.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace kb::backup_testing {

// A new empty folder under the temporary folder (Shift-JIS, trailing
// backslash), removed with everything in it afterwards.
class TempDir {
 public:
  explicit TempDir(const std::string& tag = "kbb");
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string Path(const std::string& relative) const { return path_ + relative; }
  void MakeFolder(const std::string& relative) const;
  void Write(const std::string& relative, const std::string& bytes) const;
  std::string Read(const std::string& relative) const;
  bool Exists(const std::string& relative) const;
  // The names in a folder of it (not "." and ".."), sorted.
  std::vector<std::string> List(const std::string& relative = "") const;

 private:
  std::string path_;
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
