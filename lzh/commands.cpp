#include "lzh/commands.h"

#include <cstdio>
#include <cstring>

#include "lzh/archive.h"
#include "lzh/command_line.h"
#include "lzh/extraction.h"
#include "lzh/sjis.h"

namespace kb::lzh {
namespace {

std::string Ratio(std::uint64_t packed, std::uint64_t original) {
  char text[16];
  double r = original == 0 ? 0.0 : 100.0 * static_cast<double>(packed) / static_cast<double>(original);
  std::snprintf(text, sizeof text, "%5.1f%%", r);
  return text;
}

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

// The files the patterns name, each name once (a later match replaces an
// earlier one of the same name, as a copy into one folder would).
std::vector<FoundFile> CollectFiles(const Command& command, FileSystem& fs, Report& report) {
  const std::string archiveFull = fs.FullPath(command.archive);
  std::vector<FoundFile> files;
  for (const std::string& file : command.files) {
    std::string pattern = ResolvePattern(command, file);
    std::vector<FoundFile> found = fs.Find(pattern);
    bool any = false;
    for (FoundFile& f : found) {
      if (f.directory) continue;  // folders are not packed
      any = true;
      if (!f.nameFits) {
        report.Problem(Status::kNotSupported, f.name + ": the name cannot be written in Shift-JIS; left out");
      } else if (f.size > kMaxMemberSize) {
        report.Problem(Status::kNotSupported, f.name + ": larger than 4 GiB; left out");
      } else if (SameNameIgnoringCase(fs.FullPath(f.path), archiveFull)) {
        report.Line(f.name + ": the archive itself; left out");
      } else {
        std::erase_if(files, [&](const FoundFile& g) { return SameNameIgnoringCase(g.name, f.name); });
        files.push_back(std::move(f));
      }
    }
    if (!any) report.Problem(Status::kNoFile, Quoted(pattern) + ": no file matches");
  }
  return files;
}

void Add(const Command& command, FileSystem& fs, Report& report) {
  if (command.files.empty()) throw LzhError(Status::kNoFile, "no file to pack");
  std::vector<FoundFile> files = CollectFiles(command, fs, report);
  if (files.empty()) {
    // Where a pattern or file was at fault, its line says it all.
    if (report.status() == Status::kOk) report.Problem(Status::kNoFile, "no file to pack; the archive was not made");
    return;
  }
  std::unique_ptr<ArchiveFile> old = fs.OpenArchive(command.archive);
  std::vector<MemberLocation> oldMembers;
  if (old) oldMembers = ReadDirectory(*old);

  std::unique_ptr<OutputFile> temp = fs.CreateTemporary(command.archive);
  ArchiveWriter writer(*temp);
  std::vector<std::string> added;
  for (const FoundFile& f : files) {
    try {
      std::unique_ptr<InputFile> input = fs.OpenInput(f.path);
      MemberHeader h = writer.AddMember(*input, NewMember{f.name, f.unixTime, f.attributes, f.times});
      report.Line(f.name + "  " + std::to_string(h.originalSize) + " -> " +
                  std::to_string(h.compressedSize) + "  " + h.method);
      added.push_back(f.name);
    } catch (const LzhError& e) {
      if (e.status() != Status::kFileOpen && e.status() != Status::kNotSupported) throw;
      report.Problem(e.status(), f.name + ": " + e.what() + "; left out");
    }
  }
  // Members of the old archive stay unless a file of the same name was
  // packed now (a member is replaced only once its new version is in).
  for (const MemberLocation& m : oldMembers) {
    bool replaced = false;
    for (const std::string& name : added) replaced = replaced || SameNameIgnoringCase(name, m.header.name);
    if (!replaced) writer.CopyMember(*old, m);
  }
  if (added.empty()) {
    report.Problem(Status::kNoFile, "no file could be packed; the archive was not made", true);
    return;
  }
  writer.Finish();
  old.reset();
  fs.Commit(std::move(temp), command.archive);
  report.Line(std::to_string(added.size()) + " file(s) packed into " + command.archive);
}

std::unique_ptr<ArchiveFile> OpenExisting(const Command& command, FileSystem& fs) {
  std::unique_ptr<ArchiveFile> file = fs.OpenArchive(command.archive);
  if (!file) throw LzhError(Status::kArchiveNotFound, command.archive + ": no such archive");
  return file;
}

std::string FormatTime(const MemberHeader& h, FileSystem& fs) {
  CivilTime t = h.stampIsUnix ? fs.LocalTime(h.stamp) : CivilFromDosTime(h.stamp);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day,
                t.hour, t.minute, t.second);
  return text;
}

void List(const Command& command, FileSystem& fs, Report& report) {
  std::unique_ptr<ArchiveFile> file = OpenExisting(command, fs);
  const char* rule = "---------- ---------- ------ ----- ---- ------------------- ----------";
  report.Line("  Original     Packed  Ratio Method CRC  Date       Time     Name");
  report.Line(rule);
  std::uint64_t original = 0;
  std::uint64_t packed = 0;
  int count = 0;
  ForEachMember(*file, [&](const MemberLocation& m) {
    const MemberHeader& h = m.header;
    char text[96];
    std::snprintf(text, sizeof text, "%10llu %10llu %s %.5s %04X %s ",
                  static_cast<unsigned long long>(h.originalSize),
                  static_cast<unsigned long long>(h.compressedSize),
                  Ratio(h.compressedSize, h.originalSize).c_str(), h.method.c_str(), h.crc,
                  FormatTime(h, fs).c_str());
    report.Line(text + h.name);
    original += h.originalSize;
    packed += h.compressedSize;
    ++count;
  });
  report.Line(rule);
  char text[96];
  std::snprintf(text, sizeof text, "%10llu %10llu %s  %d file(s)", static_cast<unsigned long long>(original),
                static_cast<unsigned long long>(packed), Ratio(packed, original).c_str(), count);
  report.Line(text);
}

void Test(const Command& command, FileSystem& fs, Report& report) {
  std::unique_ptr<ArchiveFile> file = OpenExisting(command, fs);
  int count = 0;
  ForEachMember(*file, [&](const MemberLocation& m) {
    ++count;
    try {
      UnpackMember(*file, m, [](const std::uint8_t*, std::size_t) {});
      report.Line(m.header.name + "  OK");
    } catch (const LzhError& e) {
      report.Problem(e.status(), m.header.name + ": " + e.what());
    }
  });
  if (report.status() == Status::kOk) {
    report.Line(std::to_string(count) + " file(s) tested; no error in " + command.archive);
  }
}

}  // namespace

CommandResult RunCommand(std::string_view commandLine, FileSystem& fs) {
  Report report;
  try {
    Command command = ParseCommandLine(commandLine);
    switch (command.letter) {
      case 'a':
        Add(command, fs, report);
        break;
      case 'l':
      case 'v':
        List(command, fs, report);
        break;
      case 't':
        Test(command, fs, report);
        break;
      case 'e':
      case 'x':
        Extract(command, fs, report);
        break;
      default:
        throw LzhError(Status::kBadCommand,
                       std::string("the command \"") + command.letter + "\" is not supported");
    }
  } catch (const LzhError& e) {
    report.Problem(e.status(), e.what(), true);
  }
  return report.Result();
}

void CopyToBuffer(std::string_view text, char* buffer, std::size_t size) {
  if (buffer == nullptr || size == 0) return;
  std::string_view part = CutToBytes(text, size - 1);
  std::memcpy(buffer, part.data(), part.size());
  buffer[part.size()] = '\0';
}

}  // namespace kb::lzh
