// The launcher's one file copy (the backups, and files dropped on a folder
// entry).  A copy never leaves a broken destination: the content goes into a
// temporary file on the destination's volume, which replaces the destination
// in one rename only once it is complete.  Until then the temporary file is
// marked for deletion, so whatever ends the copy early -- an error, a stop
// request, the process ending -- the system removes it and the destination
// stays as it was.
#pragma once

#include <atomic>
#include <string>
#include <vector>

namespace kb {

// Copies source over destination (Shift-JIS paths of at most 255 bytes);
// returns whether the destination exists afterwards.  A source that cannot
// be opened or read (missing, a folder, held open by a program that denies
// sharing), an overlong path or a missing destination folder copy nothing
// and create nothing.  The source is opened so that no one may write to it
// while it is read; the destination keeps the source's last-write time.
// `stop`, when given and set, ends the copy between two blocks.  The
// temporary file lies beside the destination.
bool LzCopyFile(const std::string& source, const std::string& destination,
                const std::atomic<bool>* stop = nullptr);

// Many copies into the same folders, each exactly as LzCopyFile, but a
// destination that already holds the source's bytes and last-write time (a
// file of at most one block, read back and compared) is left as it is.  The
// temporary files are made in a work folder of their own inside each
// destination folder (kCopyWorkFolder): a new name in a folder that already
// holds a thousand files costs the system far more than one in a folder that
// holds none.  A file that fits in one block of the copy goes through an
// unmarked temporary file, there only for the moment of one write; larger
// ones are marked as in LzCopyFile.  The work folder is removed when the
// session ends.  A process that ends without its session leaves at most the
// work folder and the one unmarked file of that moment, never anything
// beside the copies; the next session into that folder removes both.
// Copies from several sessions, also in other processes, into one folder
// share its work folder.  One session belongs to one thread.
class CopySession {
 public:
  CopySession() = default;
  ~CopySession();
  CopySession(const CopySession&) = delete;
  CopySession& operator=(const CopySession&) = delete;

  bool Copy(const std::string& source, const std::string& destination,
            const std::atomic<bool>* stop = nullptr);

 private:
  // The work folder for a destination folder, made when first asked for;
  // empty when none can be made there (the copy then works beside).
  const std::wstring& WorkFolder(const std::wstring& folder, bool remake);

  struct Work {
    std::wstring folder;  // the destination folder, with its final separator
    std::wstring work;    // its work folder, with its final separator, or empty
  };
  std::vector<Work> folders_;
  std::vector<char> block_;
};

// The name of the work folder inside a destination folder.
inline constexpr wchar_t kCopyWorkFolder[] = L"~kbcopy.tmp";

}  // namespace kb
