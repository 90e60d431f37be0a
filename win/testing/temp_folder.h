// A new empty folder under the temporary folder for a Windows test (Shift-JIS
// path with a trailing backslash), removed with everything in it afterwards.
#pragma once

#include <string>
#include <vector>

namespace kb::win::testing {

class TempFolder {
 public:
  explicit TempFolder(const std::string& tag = "kbt");
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string Path(const std::string& relative) const { return path_ + relative; }
  void MakeFolder(const std::string& relative) const;
  // Writes a file, making its folder first.
  void Write(const std::string& relative, const std::string& bytes) const;
  // The file's bytes; "" when it cannot be read.
  std::string Read(const std::string& relative) const;
  bool Exists(const std::string& relative) const;
  // The names in a folder of it (not "." and ".."), sorted.
  std::vector<std::string> List(const std::string& relative = "") const;

 private:
  std::string path_;
};

// Deletes a folder tree (Shift-JIS path, with or without a trailing
// backslash), read-only files included.
void RemoveTree(const std::string& path);

}  // namespace kb::win::testing
