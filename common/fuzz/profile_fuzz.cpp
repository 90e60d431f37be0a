// libFuzzer target for the profile parser.  Invariants checked on any input:
// - a writer that changes nothing gives the file back byte for byte;
// - reads never return more than the longest value;
// - a value written reads back as written (line breaks become spaces), and
//   every other key reads as it did before the write;
// - an erased section is gone, the other sections read as before.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/profile.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

// Names worth asking for: the start of each line of the input, cut at '='
// or ']', plus a few fixed ones.
std::vector<std::string> Names(std::string_view data) {
  std::vector<std::string> names = {"Info", "k", "S", "Type", ""};
  size_t begin = 0;
  while (begin < data.size() && names.size() < 24) {
    size_t end = data.find_first_of("\r\n", begin);
    if (end == std::string_view::npos) end = data.size();
    std::string_view line = data.substr(begin, end - begin);
    if (!line.empty() && line[0] == '[') line.remove_prefix(1);
    line = line.substr(0, std::min(line.find_first_of("=]"), line.size()));
    names.emplace_back(line.substr(0, 40));
    begin = end + 1;
  }
  return names;
}

std::string Expected(std::string_view value) {
  std::string out(value.substr(0, value.find('\0')));
  for (char& c : out) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return out;
}

// Whether the file would take section name a for section name b.
bool SameName(const std::string& a, std::string_view b) {
  std::string file(1, '[');
  file.append(a).append("]\n");
  return kb::ProfileReader::FromBytes(file).SectionExists(b);
}

bool IsBom(std::string_view data) {
  return data.rfind("\xEF\xBB\xBF", 0) == 0 || data.rfind("\xFF\xFE", 0) == 0 ||
         data.rfind("\xFE\xFF", 0) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  const std::string_view data(reinterpret_cast<const char*>(bytes), size);
  Check(kb::ProfileWriter::FromBytes(data).Bytes() == data);

  const std::vector<std::string> names = Names(data);
  const kb::ProfileReader before = kb::ProfileReader::FromBytes(data);
  for (const std::string& s : names) {
    for (const std::string& k : names) {
      Check(before.ReadString(s, k, "").size() <= kb::kMaxProfileValueLength);
      before.ReadInteger(s, k, 0);
    }
  }

  // A value taken from the input; plain ASCII for files in another encoding,
  // where a Shift-JIS byte without a Unicode form could not come back.
  std::string value(data.substr(data.size() / 2, 40));
  if (IsBom(data)) {
    for (char& c : value) c = static_cast<char>(0x20 + (static_cast<unsigned char>(c) % 0x5F));
  }
  kb::ProfileWriter writer = kb::ProfileWriter::FromBytes(data);
  writer.WriteString("S", "k", value);
  const kb::ProfileReader after = kb::ProfileReader::FromBytes(writer.Bytes());
  Check(after.ReadString("S", "k", "<none>") == Expected(value));
  for (const std::string& s : names) {
    if (SameName(s, "S")) continue;
    for (const std::string& k : names) {
      Check(after.ReadString(s, k, "<d>") == before.ReadString(s, k, "<d>"));
    }
  }

  kb::ProfileWriter eraser = kb::ProfileWriter::FromBytes(data);
  eraser.EraseSection("Info");
  const kb::ProfileReader erased = kb::ProfileReader::FromBytes(eraser.Bytes());
  if (before.SectionExists("Info")) {
    for (const std::string& s : names) {
      if (SameName(s, "Info")) continue;
      for (const std::string& k : names) {
        Check(erased.ReadString(s, k, "<d>") == before.ReadString(s, k, "<d>"));
      }
    }
  }
  return 0;
}
