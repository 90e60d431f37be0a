// Archives holding members this library cannot unpack (another archiver's
// private method): "l" lists every member with its method, "t" reports the
// unknown ones by name and still tests all the others.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "lzh/commands.h"
#include "lzh/decoder.h"
#include "lzh/tests/old_formats.h"
#include "lzh/tests/sample_data.h"
#include "lzh/tests/std_file_system.h"

namespace kb::lzh {
namespace {
namespace fs = std::filesystem;
using testing::Bytes;
using testing::OldMember;

OldMember Member(const std::string& name, const std::string& method, int level, const Bytes& original,
                 const Bytes& packed) {
  OldMember m;
  m.level = level;
  m.method = method;
  m.name = name;
  m.original = original;
  m.packed = packed;
  return m;
}

class ForeignMembersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kb_lzh_foreign_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Save(const std::string& name, const std::vector<OldMember>& members) {
    Bytes bytes = testing::OldArchive(members);
    fs::path p = dir_ / name;
    std::ofstream(p, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return p.string();
  }
  fs::path dir_;
  testing::StdFileSystem fs_;
};

TEST_F(ForeignMembersTest, UnknownMethodsAreReportedPerMemberAtEveryLevel) {
  const Bytes text = testing::Sample(testing::Kind::kText, 4000, 7);
  // Methods this library does not unpack: other archivers' own, and the
  // never-released -lh2- and -lh3-.
  const char* unknown[] = {"-ah9-", "-lh2-", "-lh3-", "-lhx-", "-pc1-"};
  for (const char* method : unknown) {
    ASSERT_FALSE(IsKnownMethod(method)) << method;
    for (int level = 0; level <= 3; ++level) {
      SCOPED_TRACE(std::string(method) + " level " + std::to_string(level));
      const std::string archive =
          Save("f.lzh", {Member("first.txt", "-lh1-", level, text, testing::EncodeLh1(text)),
                         Member("odd.bin", method, level, {1, 2, 3, 4}, {7, 7, 7}),
                         Member("last.txt", "-lzs-", level, text, testing::EncodeLzs(text))});
      CommandResult r = RunCommand("l " + archive, fs_);
      EXPECT_EQ(r.status, Status::kOk) << r.output;
      EXPECT_NE(r.output.find(std::string(method) + " "), std::string::npos) << r.output;
      EXPECT_NE(r.output.find("3 file(s)"), std::string::npos) << r.output;

      r = RunCommand("t " + archive, fs_);
      EXPECT_EQ(r.status, Status::kMethod) << r.output;
      const std::string first = r.output.substr(0, r.output.find("\r\n"));
      EXPECT_NE(first.find("odd.bin: "), std::string::npos) << r.output;
      EXPECT_NE(first.find(method), std::string::npos) << r.output;
      EXPECT_NE(r.output.find("first.txt  OK"), std::string::npos) << r.output;
      EXPECT_NE(r.output.find("last.txt  OK"), std::string::npos) << r.output;
    }
  }
}

TEST_F(ForeignMembersTest, ADamagedMemberAfterAnUnknownOneIsStillTestedAndOutranksIt) {
  // A damaged member after an unknown one is still tested and reported; its
  // error outranks the unknown method's warning as the command's result.
  const Bytes text = testing::Sample(testing::Kind::kText, 4000, 8);
  Bytes broken = testing::EncodeLh1(text);
  broken[broken.size() / 2] ^= 0x41;
  const std::string archive = Save("g.lzh", {Member("odd.bin", "-ah9-", 2, {1}, {1}),
                                             Member("bad.txt", "-lh1-", 2, text, broken)});
  CommandResult r = RunCommand("t " + archive, fs_);
  EXPECT_EQ(r.status, Status::kBrokenData) << r.output;
  EXPECT_NE(r.output.find("odd.bin: "), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("bad.txt: "), std::string::npos) << r.output;
}

}  // namespace
}  // namespace kb::lzh
