// The commands on real host files: what "a" makes, how "l" and "t" report,
// and that no failure leaves a half-written or replaced archive.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "lzh/archive.h"
#include "lzh/tests/sample_data.h"
#include "lzh/tests/std_file_system.h"

namespace kb::lzh {
namespace {
namespace fs = std::filesystem;

class CommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kb_lzh_cmd_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "in" / "sub.dat");
    Write("in/a.dat", testing::Sample(testing::Kind::kText, 50000, 1));
    Write("in/b.dat", testing::Sample(testing::Kind::kRandom, 3000, 2));
    Write("in/c.txt", {'c'});
  }
  void TearDown() override { fs::remove_all(dir_); }

  void Write(const std::string& name, const std::vector<std::uint8_t>& data) {
    std::ofstream(dir_ / name, std::ios::binary).write(reinterpret_cast<const char*>(data.data()),
                                                      static_cast<std::streamsize>(data.size()));
  }
  std::vector<std::uint8_t> Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  CommandResult Run(const std::string& line) { return RunCommand(line, fs_); }
  std::string D() const { return dir_.string() + "/"; }
  std::vector<std::string> Names(const fs::path& archive) {
    std::vector<std::uint8_t> bytes = Read(archive);
    MemoryArchive file(bytes);
    std::vector<std::string> names;
    for (const MemberLocation& m : ReadDirectory(file)) names.push_back(m.header.name);
    return names;
  }
  // Files in the folder, to see that no temporary file stays behind.
  std::size_t FileCount(const fs::path& folder) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
  }

  fs::path dir_;
  testing::StdFileSystem fs_;
};

std::string Unpacked(const fs::path& archive, const std::string& name) {
  std::ifstream in(archive, std::ios::binary);
  std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  MemoryArchive file(bytes);
  std::string out;
  for (const MemberLocation& m : ReadDirectory(file)) {
    if (m.header.name != name) continue;
    UnpackMember(file, m, [&](const std::uint8_t* p, std::size_t n) { out.append(reinterpret_cast<const char*>(p), n); });
  }
  return out;
}

TEST_F(CommandTest, AddListAndTest) {
  fs::create_directories(dir_ / "out");
  CommandResult r = Run("a \"" + D() + "out/backup\" \"" + D() + "in/*.dat\" \"" + D() + "in/c.txt\"");
  ASSERT_EQ(r.status, Status::kOk) << r.output;
  EXPECT_EQ(Names(dir_ / "out/backup.lzh"), (std::vector<std::string>{"a.dat", "b.dat", "c.txt"}))
      << "only the file names; the folder sub.dat is skipped";
  EXPECT_EQ(FileCount(dir_ / "out"), 1u) << "no temporary file stays behind";

  r = Run("l " + D() + "out/backup");
  EXPECT_EQ(r.status, Status::kOk);
  EXPECT_NE(r.output.find("-lh5-"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("3 file(s)"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("50000"), std::string::npos) << r.output;

  r = Run("t " + D() + "out/backup.lzh");
  EXPECT_EQ(r.status, Status::kOk) << r.output;
  EXPECT_NE(r.output.find("b.dat  OK"), std::string::npos) << r.output;
}

TEST_F(CommandTest, AddingToAnArchiveKeepsOthersAndReplacesSameNames) {
  ASSERT_EQ(Run("a " + D() + "x " + D() + "in/a.dat " + D() + "in/c.txt").status, Status::kOk);
  Write("in/c.txt", {'n', 'e', 'w'});
  ASSERT_EQ(Run("a " + D() + "x " + D() + "in/c.txt " + D() + "in/b.dat").status, Status::kOk);
  std::vector<std::string> names = Names(dir_ / "x.lzh");
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"a.dat", "b.dat", "c.txt"}));
  EXPECT_EQ(Unpacked(dir_ / "x.lzh", "c.txt"), "new");
  EXPECT_EQ(Unpacked(dir_ / "x.lzh", "a.dat").size(), 50000u);
}

TEST_F(CommandTest, FailuresSayWhyAndMakeOrChangeNoArchive) {
  Write("notarc.lzh", {'n', 'o', 't', ' ', 'a', 'n', ' ', 'a', 'r', 'c', 'h', 'i', 'v', 'e', '!', '!', '!', '!',
                       '!', '!', '!', '!', '!', '!'});
  const std::vector<std::uint8_t> before = Read(dir_ / "notarc.lzh");
  struct Case {
    std::string line;
    Status status;
    const char* says;
  } cases[] = {
      {"a " + D() + "new " + D() + "in/none*.x", Status::kNoFile, "none*.x"},
      {"a " + D() + "new", Status::kNoFile, "no file"},
      {"a " + D() + "missing/new " + D() + "in/a.dat", Status::kMakeArchive, "temporary"},
      {"q " + D() + "new " + D() + "in/a.dat", Status::kBadCommand, "\"q\""},
      {"a -r " + D() + "new " + D() + "in/a.dat", Status::kBadCommand, "-r"},
      {"t " + D() + "new", Status::kArchiveNotFound, "new.lzh"},
      {"l " + D() + "notarc.lzh", Status::kNotArchive, "not"},
      {"a " + D() + "notarc.lzh " + D() + "in/a.dat", Status::kNotArchive, "not"},
  };
  for (const Case& c : cases) {
    CommandResult r = Run(c.line);
    EXPECT_EQ(r.status, c.status) << c.line << "\n" << r.output;
    std::string first = r.output.substr(0, r.output.find("\r\n"));
    EXPECT_NE(first.find(c.says), std::string::npos) << c.line << "\n" << r.output;
    EXPECT_FALSE(fs::exists(dir_ / "new.lzh")) << c.line;
  }
  EXPECT_EQ(Read(dir_ / "notarc.lzh"), before);
  EXPECT_EQ(FileCount(dir_), 2u) << "no temporary file stays behind";
}

TEST_F(CommandTest, AMissingPatternIsReportedButTheOthersArePacked) {
  CommandResult r = Run("a " + D() + "x \"" + D() + "in/gone.dat\" " + D() + "in/c.txt");
  EXPECT_EQ(r.status, Status::kNoFile);
  EXPECT_NE(r.output.substr(0, r.output.find("\r\n")).find("gone.dat"), std::string::npos) << r.output;
  EXPECT_EQ(Names(dir_ / "x.lzh"), (std::vector<std::string>{"c.txt"}));
}

TEST_F(CommandTest, FilesOver4GiBAreRefused) {
  // Sparse: the size is all that is looked at before the file is read.
  fs::resize_file(dir_ / "in/c.txt", (4ull << 30) + 1);
  CommandResult r = Run("a " + D() + "x " + D() + "in/*.*");
  EXPECT_EQ(r.status, Status::kNotSupported) << r.output;
  EXPECT_NE(r.output.substr(0, r.output.find("\r\n")).find("c.txt"), std::string::npos) << r.output;
  EXPECT_EQ(Names(dir_ / "x.lzh"), (std::vector<std::string>{"a.dat", "b.dat"}));
}

TEST_F(CommandTest, TheArchiveIsNeverPackedIntoItselfAndLaterNamesWin) {
  fs::create_directories(dir_ / "in2");
  Write("in2/c.txt", {'2'});
  ASSERT_EQ(Run("a " + D() + "in/self " + D() + "in/c.txt").status, Status::kOk);
  CommandResult r = Run("a " + D() + "in/self " + D() + "in/* " + D() + "in2/c.txt");
  ASSERT_EQ(r.status, Status::kOk) << r.output;
  std::vector<std::string> names = Names(dir_ / "in/self.lzh");
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"a.dat", "b.dat", "c.txt"}));
  EXPECT_EQ(Unpacked(dir_ / "in/self.lzh", "c.txt"), "2");
}

TEST_F(CommandTest, TestFindsADamagedMember) {
  ASSERT_EQ(Run("a " + D() + "x " + D() + "in/a.dat " + D() + "in/c.txt").status, Status::kOk);
  std::vector<std::uint8_t> bytes = Read(dir_ / "x.lzh");
  MemoryArchive file(bytes);
  MemberLocation first = ReadDirectory(file).at(0);
  bytes[first.dataOffset + first.header.compressedSize / 2] ^= 0x10;
  Write("x.lzh", bytes);
  CommandResult r = Run("t " + D() + "x");
  EXPECT_TRUE(r.status == Status::kFileCrc || r.status == Status::kBrokenData) << r.output;
  EXPECT_NE(r.output.find("a.dat: "), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("c.txt  OK"), std::string::npos) << r.output;
}

}  // namespace
}  // namespace kb::lzh
