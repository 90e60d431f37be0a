// The launcher's one file copy (the backups, and files dropped on a folder
// entry).  A copy never leaves a broken destination: the content goes into a
// temporary file in the destination's folder, which replaces the destination
// in one rename only once it is complete.  Until then the temporary file is
// marked for deletion, so whatever ends the copy early -- an error, a stop
// request, the process ending -- the system removes it and the destination
// stays as it was.
#pragma once

#include <atomic>
#include <string>

namespace kb {

// Copies source over destination (Shift-JIS paths of at most 255 bytes);
// returns whether the destination exists afterwards.  A source that cannot
// be opened or read (missing, a folder, held open by a program that denies
// sharing), an overlong path or a missing destination folder copy nothing
// and create nothing.  The source is opened so that no one may write to it
// while it is read; the destination keeps the source's last-write time.
// `stop`, when given and set, ends the copy between two blocks.
bool LzCopyFile(const std::string& source, const std::string& destination,
                const std::atomic<bool>* stop = nullptr);

}  // namespace kb
