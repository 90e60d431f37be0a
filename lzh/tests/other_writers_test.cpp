// Archives another LHA writer made (jlha, at header levels 0, 1 and 2, with
// folders), extracted by "x" and "e" and compared with the files they were
// made of and with what lhasa extracts from them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>

#include "lzh/commands.h"
#include "lzh/tests/sample_data.h"
#include "lzh/tests/std_file_system.h"

namespace kb::lzh {
namespace {
namespace fs = std::filesystem;

using testing::Shell;

std::string Read(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Relative path ('/'-separated) to contents, of every file below root.
std::map<std::string, std::string> Files(const fs::path& root) {
  std::map<std::string, std::string> files;
  std::error_code ec;
  for (const fs::directory_entry& e : fs::recursive_directory_iterator(root, ec)) {
    if (e.is_regular_file()) files[fs::relative(e.path(), root).string()] = Read(e.path());
  }
  return files;
}

class OtherWritersTest : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kb_lzh_others_" + std::to_string(::getpid()) + "_" + std::to_string(GetParam()));
    fs::remove_all(dir_);
    using testing::Kind;
    const std::map<std::string, std::vector<std::uint8_t>> files = {
        {"top.txt", testing::Sample(Kind::kText, 60000, 1)},
        {"sub/mixed.bin", testing::Sample(Kind::kMixed, 300000, 2)},
        {"sub/deeper/zeros.bin", std::vector<std::uint8_t>(70000, 0)},
        {"sub/empty.txt", {}},
    };
    for (const auto& [name, data] : files) {
      fs::create_directories((dir_ / "in" / name).parent_path());
      std::ofstream(dir_ / "in" / name, std::ios::binary)
          .write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    }
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path dir_;
};

TEST_P(OtherWritersTest, ExtractsWhatLhasaExtracts) {
  std::string log;
  if (Shell("sh -c 'command -v jlha && command -v lhasa'", &log) != 0) {
    GTEST_SKIP() << "jlha or lhasa is not installed (scripts/setup.sh installs them)";
  }
  const std::string archive = (dir_ / "other.lzh").string();
  ASSERT_EQ(Shell("sh -c 'cd " + (dir_ / "in").string() + " && jlha a" + std::to_string(GetParam()) + " " + archive +
                      " top.txt sub/mixed.bin sub/deeper/zeros.bin sub/empty.txt'",
                  &log),
            0)
      << log;
  fs::create_directories(dir_ / "lhasa");
  ASSERT_EQ(Shell("lhasa xqw=" + (dir_ / "lhasa").string() + " " + archive, &log), 0) << log;

  testing::StdFileSystem fs;
  CommandResult r = RunCommand("x \"" + archive + "\" \"" + (dir_ / "ours").string() + "/\"", fs);
  ASSERT_EQ(r.status, Status::kOk) << r.output;
  const std::map<std::string, std::string> original = Files(dir_ / "in");
  EXPECT_EQ(Files(dir_ / "lhasa"), original) << "lhasa";
  EXPECT_EQ(Files(dir_ / "ours"), original) << r.output;

  r = RunCommand("e \"" + archive + "\" \"" + (dir_ / "flat").string() + "/\"", fs);
  ASSERT_EQ(r.status, Status::kOk) << r.output;
  std::map<std::string, std::string> flat;
  for (const auto& [name, data] : original) flat[fs::path(name).filename().string()] = data;
  EXPECT_EQ(Files(dir_ / "flat"), flat);
}

INSTANTIATE_TEST_SUITE_P(HeaderLevels, OtherWritersTest, ::testing::Values(0, 1, 2),
                         [](const ::testing::TestParamInfo<int>& info) { return "level" + std::to_string(info.param); });

}  // namespace
}  // namespace kb::lzh
