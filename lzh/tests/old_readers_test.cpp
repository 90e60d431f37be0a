// The older methods and header levels as this project's tests write them,
// checked with the LHA readers of the system: lhasa must test and extract
// every archive byte for byte (it reads them all), and every other reader
// each archive it is known to read, so the encoders here (and the
// decoders they check) follow the formats, not only each other.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>

#include "lzh/lh5_encoder.h"
#include "lzh/tests/old_formats.h"
#include "lzh/tests/sample_data.h"
#include "lzh/tests/std_file_system.h"

namespace kb::lzh {
namespace {
namespace fs = std::filesystem;
using testing::Bytes;
using testing::Kind;
using testing::OldMember;
using testing::Sample;

using testing::Shell;

Bytes PackLh5(const Bytes& data) {
  MemoryOutput out;
  Lh5Encoder encoder(out);
  encoder.Write(data.data(), data.size());
  encoder.Finish();
  return out.bytes();
}
Bytes Stored(const Bytes& data) { return data; }

Bytes FullTables(const Bytes& data) { return testing::EncodeLh5FullTables(data, 3, true); }

struct Method {
  const char* name;
  Bytes (*pack)(const Bytes&);
  const char* file;  // the archives' names
};
const Method kMethods[] = {
    {"-lh0-", Stored, "lh0"}, {"-lz4-", Stored, "lz4"}, {"-pm0-", Stored, "pm0"},
    {"-lzs-", testing::EncodeLzs, "lzs"}, {"-lz5-", testing::EncodeLz5, "lz5"},
    {"-lh1-", testing::EncodeLh1, "lh1"}, {"-lh5-", PackLh5, "lh5"},
    // -lh5- as writers that write every table out in full, in tiny blocks.
    {"-lh5-", FullTables, "lh5full"},
};

struct Reader {
  const char* name;
  const char* program;
  const char* extract;  // {a} the archive, {o} the output folder
  const char* methods;  // the methods it reads ("" all)
  const char* levels;   // the header levels it reads
};
const Reader kReaders[] = {
    {"lhasa", "lhasa", "lhasa xqw={o} {a}", "", "0123"},
    {"sevenzip", "7zz", "7zz x -y -o{o} {a}", READERS_7ZZ_METHODS, READERS_7ZZ_LEVELS},
    {"bsdtar", "bsdtar", "bsdtar -xf {a} -C {o}", READERS_BSDTAR_METHODS, READERS_BSDTAR_LEVELS},
    {"unar", "unar", "unar -q -D -o {o} {a}", READERS_UNAR_METHODS, READERS_UNAR_LEVELS},
};
void PrintTo(const Reader& r, std::ostream* os) { *os << r.name; }

std::string Replace(std::string s, const std::string& key, const std::string& value) {
  for (std::size_t at; (at = s.find(key)) != std::string::npos;) s.replace(at, key.size(), value);
  return s;
}

class OldReadersTest : public ::testing::TestWithParam<Reader> {
 protected:
  static void SetUpTestSuite() {
    dir_ = fs::temp_directory_path() / ("kb_lzh_old_readers_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    files_ = {
        {"text.txt", Sample(Kind::kText, 40000, 11)},
        {"random.bin", Sample(Kind::kRandom, 60000, 12)},  // rebuilds -lh1-'s tree
        {"mixed.bin", Sample(Kind::kMixed, 150000, 13)},
        {"zeros.bin", Bytes(7000, 0)},
        {"blanks.txt", Bytes(3000, ' ')},
        {"empty.txt", {}},
    };
    for (const Method& method : kMethods) {
      std::vector<OldMember> members;
      for (const auto& [name, data] : files_) {
        OldMember m;
        // Empty files are stored, as every archiver stores them.
        m.method = data.empty() ? "-lh0-" : method.name;
        m.name = name;
        m.original = data;
        m.packed = data.empty() ? data : method.pack(data);
        members.push_back(m);
      }
      for (int level = 0; level <= 3; ++level) {
        for (OldMember& m : members) {
          m.level = level;
          m.stamp = level <= 1 ? (40u << 25 | 1u << 21 | 1u << 16) : 1577836800u;  // 2020-01-01
        }
        Bytes archive = testing::OldArchive(members);
        std::ofstream(Path(method.file, level), std::ios::binary)
            .write(reinterpret_cast<const char*>(archive.data()), static_cast<std::streamsize>(archive.size()));
      }
    }
  }
  static void TearDownTestSuite() { fs::remove_all(dir_); }
  static fs::path Path(const std::string& file, int level) {
    return dir_ / (file + "_l" + std::to_string(level) + ".lzh");
  }

  static fs::path dir_;
  static std::map<std::string, Bytes> files_;
};

fs::path OldReadersTest::dir_;
std::map<std::string, Bytes> OldReadersTest::files_;

TEST_P(OldReadersTest, ExtractsEveryMethodAndLevelItReads) {
  const Reader& r = GetParam();
  std::string log;
  if (Shell(std::string("sh -c 'command -v ") + r.program + "'", &log) != 0) {
    GTEST_SKIP() << r.program << " is not installed (scripts/setup.sh installs it)";
  }
  int checked = 0;
  for (const Method& method : kMethods) {
    const std::string m = std::string(method.name).substr(1, 3);
    if (*r.methods != '\0' && std::string(r.methods).find(m) == std::string::npos) continue;
    for (int level = 0; level <= 3; ++level) {
      if (std::string(r.levels).find(static_cast<char>('0' + level)) == std::string::npos) continue;
      SCOPED_TRACE(std::string(r.name) + " " + method.file + " level " + std::to_string(level));
      fs::path out = dir_ / (std::string(r.name) + "_" + method.file + std::to_string(level));
      fs::create_directories(out);
      log.clear();
      const std::string archive = Path(method.file, level).string();
      ASSERT_EQ(Shell(Replace(Replace(r.extract, "{a}", archive), "{o}", out.string()), &log), 0) << log;
      for (const auto& [name, data] : files_) {
        std::ifstream in(out / name, std::ios::binary);
        ASSERT_TRUE(in.good()) << name << " not extracted\n" << log;
        Bytes got{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        EXPECT_TRUE(got == data) << name << " differs (" << got.size() << " of " << data.size() << " bytes)";
      }
      ++checked;
    }
  }
  EXPECT_GT(checked, 0);
}

INSTANTIATE_TEST_SUITE_P(Readers, OldReadersTest, ::testing::ValuesIn(kReaders),
                         [](const ::testing::TestParamInfo<Reader>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kb::lzh
