// "e" and "x" on real host files: what lands where, what a hostile archive
// cannot reach, what an existing file takes, and that a failed member leaves
// nothing behind.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

#include "lzh/archive.h"
#include "lzh/tests/old_formats.h"
#include "lzh/tests/sample_data.h"
#include "lzh/tests/std_file_system.h"

namespace kb::lzh {
namespace {
namespace fs = std::filesystem;
using testing::Bytes;
using testing::Extension;
using testing::OldMember;

OldMember Stored(const std::string& name, const std::string& content, int level = 2) {
  OldMember m;
  m.level = level;
  m.name = name;
  m.original.assign(content.begin(), content.end());
  m.packed = m.original;
  m.stamp = level == 2 ? 1500000000 : 0x4A8C6000;  // 2017-07-14, 2017-04-12 12:00 local
  return m;
}

// A Unix symbolic link as Unix archivers store it: a folder member named
// "link|target" with the link's mode.
OldMember Link(const std::string& name, const std::string& target) {
  OldMember m = Stored(name + "|" + target, "");
  m.method = "-lhd-";
  m.os = 'U';
  m.extensions.push_back({0x50, {0xFF, 0xA1}});  // 0120777
  return m;
}

std::time_t Stamp(const fs::path& p) {
  struct stat st {};
  ::stat(p.c_str(), &st);
  return st.st_mtime;
}

void SetStamp(const fs::path& p, std::time_t t) {
  const struct timespec both[2] = {{t, 0}, {t, 0}};
  ::utimensat(AT_FDCWD, p.c_str(), both, 0);
}

class ExtractionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kb_lzh_extract_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "in");
  }
  void TearDown() override {
    // Read-only files and folders would stay otherwise.
    std::error_code ec;
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(dir_, ec)) {
      if (!e.is_symlink()) fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::remove_all(dir_);
  }

  void Write(const fs::path& p, const std::string& content) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << content;
  }
  void WriteArchive(const std::vector<OldMember>& members) {
    Bytes bytes = testing::OldArchive(members);
    std::ofstream(dir_ / "arc.lzh", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  static std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  // Every file and folder below root, relative, '/'-separated.
  static std::set<std::string> Tree(const fs::path& root) {
    std::set<std::string> names;
    std::error_code ec;
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(root, ec)) {
      names.insert(fs::relative(e.path(), root).string() + (e.is_directory() && !e.is_symlink() ? "/" : ""));
    }
    return names;
  }
  CommandResult Run(const std::string& line) { return RunCommand(line, fs_); }
  std::string Arc() const { return "\"" + (dir_ / "arc.lzh").string() + "\""; }
  std::string Out() const { return "\"" + (dir_ / "out").string() + "/\""; }

  fs::path dir_;
  testing::StdFileSystem fs_;
};

TEST_F(ExtractionTest, OurArchiveComesBackWithTimesAndAttributes) {
  const Bytes mixed = testing::Sample(testing::Kind::kMixed, 300000, 3);
  Write(dir_ / "in/mixed.bin", std::string(mixed.begin(), mixed.end()));
  Write(dir_ / "in/表示.txt", "表示");
  Write(dir_ / "in/empty.txt", "");
  ::chmod((dir_ / "in/表示.txt").c_str(), 0444);
  const auto stamp = fs::file_time_type::clock::now() - std::chrono::hours(24 * 400);
  fs::last_write_time(dir_ / "in/mixed.bin", stamp);
  ASSERT_EQ(Run("a " + Arc() + " \"" + (dir_ / "in").string() + "/*\"").status, Status::kOk);

  CommandResult r = Run("x " + Arc() + " " + Out());
  ASSERT_EQ(r.status, Status::kOk) << r.output;
  EXPECT_NE(r.output.find("3 file(s) extracted"), std::string::npos) << r.output;
  EXPECT_EQ(Tree(dir_ / "out"), (std::set<std::string>{"empty.txt", "mixed.bin", "表示.txt"}));
  for (const char* name : {"mixed.bin", "表示.txt", "empty.txt"}) {
    EXPECT_EQ(Read(dir_ / "out" / name), Read(dir_ / "in" / name)) << name;
    EXPECT_EQ(Stamp(dir_ / "out" / name), Stamp(dir_ / "in" / name)) << name;
  }
  EXPECT_EQ(fs::status(dir_ / "out/表示.txt").permissions() & fs::perms::owner_write, fs::perms::none) << "read-only";
  EXPECT_NE(fs::status(dir_ / "out/mixed.bin").permissions() & fs::perms::owner_write, fs::perms::none);
}

TEST_F(ExtractionTest, XKeepsTheStoredFoldersAndEDropsThem) {
  OldMember level2 = Stored("deep.txt", "2");
  level2.extensions.push_back({0x02, {'s', 'u', 'b', 0xFF, 0x95, 0x5C, 0xFF}});  // sub\表\ (a 0x5C trail byte)
  OldMember folder = Stored("", "");
  folder.method = "-lhd-";
  folder.extensions.push_back({0x02, {'e', 'm', 'p', 't', 'y', '/'}});  // a '/'-separated folder
  WriteArchive({Stored("dos\\\x83\x5C\\one.txt", "0", 0), Stored("one/two.txt", "1", 1), level2, folder});

  CommandResult r = Run("x " + Arc() + " " + Out());
  ASSERT_EQ(r.status, Status::kOk) << r.output;
  EXPECT_EQ(Tree(dir_ / "out"), (std::set<std::string>{"dos/", "dos/ソ/", "dos/ソ/one.txt", "one/", "one/two.txt",
                                                        "sub/", "sub/表/", "sub/表/deep.txt", "empty/"}));
  EXPECT_EQ(Read(dir_ / "out/sub/表/deep.txt"), "2");

  r = Run("e " + Arc() + " \"" + (dir_ / "flat").string() + "\\\\\"");
  ASSERT_EQ(r.status, Status::kOk) << r.output;
  EXPECT_EQ(Tree(dir_ / "flat"), (std::set<std::string>{"one.txt", "two.txt", "deep.txt"}));
  // An MS-DOS time stamp is local time.
  std::tm local{};
  const std::time_t written = Stamp(dir_ / "flat/one.txt");
  ::localtime_r(&written, &local);
  EXPECT_EQ((std::vector<int>{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour}),
            (std::vector<int>{2017, 4, 12, 12}));
  EXPECT_EQ(Stamp(dir_ / "flat/deep.txt"), 1500000000);
}

TEST_F(ExtractionTest, AHostileArchiveWritesNothingOutsideAndNoDamagedFile) {
  OldMember upFolder = Stored("up3.txt", "x");
  upFolder.extensions.push_back({0x02, {'.', '.', 0xFF, '.', '.', 0xFF}});
  OldMember absFolder = Stored("abs3.txt", "x");
  absFolder.extensions.push_back({0x02, {'/', 't', 'm', 'p', '/'}});
  OldMember badCrc = Stored("bad.txt", "good data");
  badCrc.packed[0] = 'G';
  OldMember unknown = Stored("odd.txt", "??");
  unknown.method = "-zz9-";
  const std::string outside = (dir_ / "outside").string();
  WriteArchive({
      Stored("..\\up.txt", "x", 0),
      Stored("a\\..\\..\\up2.txt", "x", 1),
      upFolder,
      Stored("/" + outside.substr(1) + "/abs.txt", "x", 0),  // a Unix writer's absolute path
      absFolder,
      Stored("C:\\drive.txt", "x", 1),
      Stored("\\\\server\\share\\unc.txt", "x", 0),
      Stored("ok\\stream.txt:evil", "x", 1),
      Stored("ok\\CON.txt", "x"),
      Stored("../slash.txt", "x"),  // a '/' in a level-2 file name: would land in dir_
      Link("lnk", outside),
      Stored("lnk", "through the link"),
      Stored("lnk/inner.txt", "through the link", 1),
      badCrc,
      unknown,
      Stored("good.txt", "fine"),
  });
  fs::create_directories(dir_ / "outside");
  const std::set<std::string> before = Tree(dir_);

  CommandResult r = Run("x " + Arc() + " " + Out());
  EXPECT_EQ(r.status, Status::kDirectory) << "the first refusal\n" << r.output;
  for (const char* name : {"up.txt", "up2.txt", "up3.txt", "abs.txt", "abs3.txt", "drive.txt", "unc.txt",
                           "stream.txt", "CON.txt", "slash.txt", "lnk|", "lnk: ", "inner.txt", "bad.txt: ", "odd.txt: "}) {
    std::size_t at = r.output.find(name);
    ASSERT_NE(at, std::string::npos) << name << "\n" << r.output;
    std::string line = r.output.substr(at, r.output.find("\r\n", at) - at);
    EXPECT_NE(line.find("; not extracted"), std::string::npos) << line;
  }
  EXPECT_NE(r.output.find("good.txt  extracted"), std::string::npos) << r.output;
  std::set<std::string> after = Tree(dir_);
  std::set<std::string> added;
  std::set_difference(after.begin(), after.end(), before.begin(), before.end(), std::inserter(added, added.end()));
  EXPECT_EQ(added, (std::set<std::string>{"out/", "out/good.txt"})) << r.output;
  EXPECT_TRUE(Tree(dir_ / "outside").empty());
}

TEST_F(ExtractionTest, AnExistingFileIsKeptUnlessASwitchSaysOtherwise) {
  OldMember older = Stored("older.txt", "archived");
  older.stamp = 1000000000;
  WriteArchive({Stored("newer.txt", "archived"), older});
  struct Case {
    const char* switches;
    Status status;
    const char* older;
    const char* newer;
  } cases[] = {
      {"", Status::kAlreadyExists, "on disk", "on disk"},
      {"-m0 -c0", Status::kAlreadyExists, "on disk", "on disk"},
      // older.txt on disk is newer than its member; newer.txt is not.
      {"-m1", Status::kMoreFresh, "on disk", "archived"},
      {"-c", Status::kOk, "archived", "archived"},
  };
  for (const Case& c : cases) {
    Write(dir_ / "out/older.txt", "on disk");
    Write(dir_ / "out/newer.txt", "on disk");
    SetStamp(dir_ / "out/older.txt", 1200000000);
    SetStamp(dir_ / "out/newer.txt", 1000000000);
    CommandResult r = Run(std::string("e ") + c.switches + " " + Arc() + " " + Out());
    EXPECT_EQ(r.status, c.status) << c.switches << "\n" << r.output;
    EXPECT_EQ(Read(dir_ / "out/older.txt"), c.older) << c.switches;
    EXPECT_EQ(Read(dir_ / "out/newer.txt"), c.newer) << c.switches;
    if (c.status != Status::kOk) {
      EXPECT_NE(r.output.find("skipped"), std::string::npos) << r.output;
    }
    EXPECT_EQ(Tree(dir_ / "out").size(), 2u) << "no temporary file stays";
  }
}

TEST_F(ExtractionTest, ADamagedMemberLeavesTheFileThatWasThere) {
  OldMember bad = Stored("data.txt", "the new data");
  bad.packed.back() ^= 1;
  WriteArchive({bad});
  Write(dir_ / "out/data.txt", "old");
  CommandResult r = Run("e -c " + Arc() + " " + Out());
  EXPECT_EQ(r.status, Status::kFileCrc) << r.output;
  EXPECT_EQ(Read(dir_ / "out/data.txt"), "old");
  EXPECT_EQ(Tree(dir_ / "out"), std::set<std::string>{"data.txt"});
}

TEST_F(ExtractionTest, PatternsChooseMembers) {
  WriteArchive({Stored("a\\one.txt", "1"), Stored("b\\one.txt", "2"), Stored("b\\two.dat", "3"),
                Stored("\x95\x5C.TXT", "4")});
  CommandResult r = Run("x " + Arc() + " " + Out() + " b/*.txt *.dat \x95\x5C.txt none*");
  EXPECT_EQ(r.status, Status::kNoFile) << r.output;
  EXPECT_EQ(r.output.find("\"none*\": no member matches"), 0u) << r.output;
  EXPECT_EQ(Tree(dir_ / "out"), (std::set<std::string>{"b/", "b/one.txt", "b/two.dat", "表.TXT"}));
}

TEST_F(ExtractionTest, ALinkOnDiskIsNeverWrittenThrough) {
  fs::create_directories(dir_ / "outside");
  fs::create_directories(dir_ / "out");
  fs::create_directory_symlink(dir_ / "outside", dir_ / "out/sub");
  fs::create_symlink(dir_ / "outside/file.txt", dir_ / "out/file.txt");
  WriteArchive({Stored("sub\\in.txt", "x"), Stored("file.txt", "x")});
  CommandResult r = Run("x -c " + Arc() + " " + Out());
  EXPECT_EQ(r.status, Status::kDirectory) << r.output;
  EXPECT_TRUE(Tree(dir_ / "outside").empty()) << r.output;
  EXPECT_TRUE(fs::is_symlink(dir_ / "out/file.txt"));
}

TEST_F(ExtractionTest, TheTargetIsMadeAndAFileInItsPlaceStopsTheCommand) {
  WriteArchive({Stored("f.txt", "x")});
  ASSERT_EQ(Run("e " + Arc() + " \"" + (dir_ / "new/deeper").string() + "/\"").status, Status::kOk);
  EXPECT_EQ(Read(dir_ / "new/deeper/f.txt"), "x");
  Write(dir_ / "plain", "");
  CommandResult r = Run("e " + Arc() + " \"" + (dir_ / "plain").string() + "/\"");
  EXPECT_EQ(r.status, Status::kDirectory) << r.output;
  EXPECT_EQ(Run("e \"" + (dir_ / "none.lzh").string() + "\"").status, Status::kArchiveNotFound);
}

}  // namespace
}  // namespace kb::lzh
