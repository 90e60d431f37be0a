// The extraction commands: "e" writes every member into the target folder,
// dropping the stored folders; "x" keeps them below the target folder.
//
//   e|x [-switches] archive[.lzh] [target\] [member patterns...]
//
// The target folder (the argument after the archive ending in '\' or '/',
// or a drive "D:") is made when missing; without one the current folder is
// the target.  Patterns name the members to extract ('*' and '?', single-byte
// letters without regard to case); one without a folder matches the file
// name in any folder, one with a folder the whole stored path.  No pattern:
// every member.
//
// Nothing is ever asked, so a file that is already there is kept and
// reported as skipped unless a switch says otherwise:
//   -m, -m1, -m2  answer the console archiver's overwrite question with yes:
//                 a file older than the member is replaced, one as new or
//                 newer kept (the archiver's time-stamp check).
//   -c            no time-stamp check: every file there is replaced.
//   -m0, -c0      the default: keep.
//   -x, -x1       with "e": keep the stored folders, as "x" does;
//   -x0           with "x": drop them, as "e" does.
//
// A member is written only inside the target folder.  Refused, each with a
// line in the output while the other members are still extracted: absolute
// paths, drive letters and UNC names, ".." folders, names Windows cannot
// hold or that name a device, links (a Unix symbolic link member, and every
// later member whose path lies at or below such a link), and paths that run
// through a file or a link already on disk.  A member is unpacked into a
// temporary file beside its place and renamed into place only when its CRC
// checks, so a damaged member leaves no file under its name (and the file
// that was there stays).  Time stamps and attributes are restored.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "lzh/command_line.h"
#include "lzh/commands.h"
#include "lzh/report.h"

namespace kb::lzh {

// A stored member path split for writing: folders and file name, or why it
// must not be written.
struct MemberPath {
  std::vector<std::string> folders;
  std::string file;  // empty for a folder member ("dir\")
  std::string refusal;  // not empty: the member is refused
};

// Splits a stored path (Shift-JIS, '\' or '/' separators; "." and empty
// parts are dropped) and checks every part.
MemberPath CheckMemberPath(std::string_view stored);

// Whether a member's stored path matches a pattern of the command line.
bool MatchesMemberPattern(std::string_view stored, std::string_view pattern);

// Runs "e" or "x"; problems go to the report.  Throws LzhError for what
// stops the whole command (no archive, a broken archive).
void Extract(const Command& command, FileSystem& fs, Report& report);

}  // namespace kb::lzh
