// Copying a file without ever leaving a broken destination behind.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace kb {

// Paths handed to the copy are at most 255 characters.
constexpr std::size_t kMaxCopyPath = 255;

// Copies source over destination and returns whether the destination exists
// afterwards.  The source is opened first: a missing or unreadable source, or
// a path longer than the limit, leaves the destination untouched (the old LZ
// copy created an empty destination in that case).  The content goes into a
// temporary file beside the destination, which is renamed into place only
// once it is complete, so a failed copy never leaves a half-written file.
bool CopyFileSafely(const std::string& source, const std::string& destination);

// Last-write time at the platform's file-age resolution (local time, two
// seconds), as an ordered value; nullopt when the file does not exist.
std::optional<std::int64_t> FileAge(const std::string& path);

// Copies source to destination; when the destination exists, asks first
// (the group window `owner` comes to the foreground for the question) and
// returns false when the user does not answer OK.
bool CopyFileConfirmed(HWND owner, const std::string& source, const std::string& destination);

}  // namespace kb
