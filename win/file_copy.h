// Copying a file without ever leaving a broken destination behind.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace kb {

// Copies source over destination and returns whether the destination exists
// afterwards: the launcher's one file copy, LzCopyFile (win/lz_copy.h).  A
// missing or unreadable source, or a path longer than 255 bytes, leaves the
// destination untouched (the old LZ copy created an empty destination in
// that case); a failed copy never leaves a half-written file.
bool CopyFileSafely(const std::string& source, const std::string& destination);

// Last-write time at the platform's file-age resolution (local time, two
// seconds), as an ordered value; nullopt when the file does not exist.
std::optional<std::int64_t> FileAge(const std::string& path);

// Copies source to destination; when the destination exists, asks first
// (the group window `owner` comes to the foreground for the question) and
// returns false when the user does not answer OK.
bool CopyFileConfirmed(HWND owner, const std::string& source, const std::string& destination);

}  // namespace kb
