// Archives made by the archiver, checked with every LHA reader the system
// offers (scripts/setup.sh installs them): each must test the archive as
// good and extract every file byte for byte.  A reader that is not installed
// is skipped, visibly.
#include <gtest/gtest.h>
#include <iconv.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include "lzh/archive.h"
#include "lzh/tests/sample_data.h"
#include "lzh/tests/std_file_system.h"

namespace kb::lzh {
namespace {
namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// How a reader turns a stored Shift-JIS name into a file name here.
enum class Names {
  kRaw,         // the bytes as they are
  kUtf8,        // converted to UTF-8
  kSplitAt5C,   // 7-Zip takes every 0x5C byte, trail bytes too, for a folder separator
};

struct Reader {
  const char* name;
  const char* program;
  const char* test;     // {a} is the archive
  const char* extract;  // {a} the archive, {o} the output folder; "" when it only tests
  Names names;
};

const Reader kReaders[] = {
    {"lhasa", "lhasa", "lhasa t {a}", "lhasa xqw={o} {a}", Names::kRaw},
    {"sevenzip", "7zz", "7zz t {a}", "7zz x -y -o{o} {a}", Names::kSplitAt5C},
    {"bsdtar", "bsdtar", "bsdtar --options hdrcharset=CP932 -tf {a}", "bsdtar --options hdrcharset=CP932 -xf {a} -C {o}", Names::kUtf8},
    {"unar", "unar", "lsar -t {a}", "unar -q -D -o {o} {a}", Names::kUtf8},
    {"jlha", "jlha", "jlha t {a}", "", Names::kRaw},
};

// Test names show the reader's name, not the bytes of the struct.
void PrintTo(const Reader& r, std::ostream* os) { *os << r.name; }

std::string Utf8FromShiftJis(const std::string& text) {
  iconv_t cd = iconv_open("UTF-8", "CP932");
  std::string out(text.size() * 3 + 4, '\0');
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  char* to = out.data();
  std::size_t toLeft = out.size();
  iconv(cd, &in, &inLeft, &to, &toLeft);
  iconv_close(cd);
  out.resize(out.size() - toLeft);
  return out;
}

std::string Replace(std::string s, const std::string& key, const std::string& value) {
  for (std::size_t at; (at = s.find(key)) != std::string::npos;) s.replace(at, key.size(), value);
  return s;
}

using testing::Shell;

class ReadersTest : public ::testing::TestWithParam<Reader> {
 protected:
  static void SetUpTestSuite() {
    dir_ = fs::temp_directory_path() / ("kb_lzh_readers_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "in");
    using testing::Kind;
    using testing::Sample;
    files_ = {
        {"text.txt", Sample(Kind::kText, 300000, 1)},
        {"binary.bin", Sample(Kind::kBinary, 200000, 2)},
        {"random.bin", Sample(Kind::kRandom, 100000, 3)},
        {"runs.bin", Sample(Kind::kRuns, 400000, 4)},
        {"mixed.bin", Sample(Kind::kMixed, 1 << 20, 5)},
        {"zeros.bin", Bytes(1 << 20, 0)},
        {"empty.txt", {}},
        {"one.txt", {'1'}},
        {"exact8k.txt", Sample(Kind::kText, 8192, 6)},
        // With this name the header is 256 bytes long but for the pitfall fix.
        {std::string(186, 'n') + ".txt", Sample(Kind::kText, 3000, 7)},
        {"表示.txt", Sample(Kind::kText, 20000, 8)},
        {"ソフト.dat", Sample(Kind::kBinary, 5000, 9)},
    };
    for (const auto& [name, data] : files_) {
      std::ofstream(dir_ / "in" / name, std::ios::binary)
          .write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    }
    archive_ = (dir_ / "backup.lzh").string();
    testing::StdFileSystem fs;
    result_ = RunCommand("a \"" + (dir_ / "backup").string() + "\" \"" + (dir_ / "in").string() + "/*\"", fs);
  }
  static void TearDownTestSuite() { fs::remove_all(dir_); }

  static fs::path dir_;
  static std::string archive_;
  static std::map<std::string, Bytes> files_;
  static CommandResult result_;
};

fs::path ReadersTest::dir_;
std::string ReadersTest::archive_;
std::map<std::string, Bytes> ReadersTest::files_;
CommandResult ReadersTest::result_;

TEST(ReaderSample, CoversThePitfalls) {
  // The archive of the readers' test holds what the readers must cope with.
  std::string name(186, 'n');
  testing::StdFileSystem fs;
  fs::path d = fs::temp_directory_path() / ("kb_lzh_sample_" + std::to_string(::getpid()));
  fs::create_directories(d);
  std::ofstream(d / (name + ".txt")) << "x";
  std::ofstream(d / "表示.txt") << "y";
  ASSERT_EQ(RunCommand("a " + (d / "a").string() + " " + (d / "*.txt").string(), fs).status, Status::kOk);
  std::ifstream in(d / "a.lzh", std::ios::binary);
  Bytes bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  MemoryArchive file(bytes);
  std::vector<MemberLocation> members = ReadDirectory(file);
  fs::remove_all(d);
  ASSERT_EQ(members.size(), 2u);
  EXPECT_EQ(members[0].dataOffset - members[0].offset, 257u) << "a 256-byte header, lengthened by one";
  EXPECT_EQ(members[1].header.name, "\x95\x5C\x8E\xA6.txt");
  EXPECT_TRUE(members[1].header.attributes.has_value() && members[1].header.times.has_value())
      << "the readers see the extensions the Windows layer writes";
}

TEST_P(ReadersTest, TestsAndExtractsByteForByte) {
  const Reader& r = GetParam();
  std::string log;
  if (Shell(std::string("sh -c 'command -v ") + r.program + "'", &log) != 0) {
    GTEST_SKIP() << r.program << " is not installed (scripts/setup.sh installs it)";
  }
  ASSERT_EQ(result_.status, Status::kOk) << result_.output;
  log.clear();
  EXPECT_EQ(Shell(Replace(r.test, "{a}", archive_), &log), 0) << log;
  if (std::string(r.extract).empty()) {
    for (const auto& [name, data] : files_) {
      // jlha prints double-byte names mangled; only the others are looked for.
      if (std::all_of(name.begin(), name.end(), [](char c) { return (c & 0x80) == 0; })) {
        EXPECT_NE(log.find(name), std::string::npos) << name << "\n" << log;
      }
    }
    return;
  }
  fs::path out = dir_ / (std::string("out_") + r.name);
  fs::create_directories(out);
  log.clear();
  ASSERT_EQ(Shell(Replace(Replace(r.extract, "{a}", archive_), "{o}", out.string()), &log), 0) << log;
  for (const auto& [name, data] : files_) {
    std::string local = name;
    if (r.names == Names::kUtf8) local = Utf8FromShiftJis(name);
    if (r.names == Names::kSplitAt5C) std::replace(local.begin(), local.end(), '\\', '/');
    std::ifstream in(out / local, std::ios::binary);
    ASSERT_TRUE(in.good()) << r.name << " did not extract " << local << "\n" << log;
    Bytes got{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_TRUE(got == data) << r.name << ": " << local << " differs (" << got.size() << " of " << data.size() << " bytes)";
  }
}

INSTANTIATE_TEST_SUITE_P(Readers, ReadersTest, ::testing::ValuesIn(kReaders),
                         [](const ::testing::TestParamInfo<Reader>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kb::lzh
