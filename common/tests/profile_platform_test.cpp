// The reader against the platform's own GetPrivateProfileStringA: both read
// the same files written by this test, for every pair of section and key the
// files name (in several spellings) and some they do not; they must agree.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "common/file_io.h"
#include "common/profile.h"

namespace kb {
namespace {

struct Case {
  const char* name;
  std::string bytes;
  std::vector<std::string> sections;
  std::vector<std::string> keys;
};

std::string Repeat(std::string_view unit, size_t n) {
  std::string out;
  for (size_t i = 0; i < n; ++i) out += unit;
  return out;
}

std::vector<Case> Cases() {
  const std::string lf = "\n";
  return {
      {"plain", "[Info]\r\nType=2\r\nAutoHide=1\r\nVersion=1.23a\r\n[Group]\r\nNumber=10\r\n",
       {"Info", "Group", "Missing"}, {"Type", "AutoHide", "Version", "Number", "Missing"}},
      {"blanks", "  [Info]  \r\n\t Type \t= 2 \t\r\n[ Spaced Sec ]\r\n x = a b \r\nk=\r\nz=\x1Av\x1A\r\n\r\n",
       {"Info", "Spaced Sec", " Spaced Sec "}, {"Type", "x", "k", " x ", "z"}},
      {"case", "[InFo]\r\nTYPE=3\r\ntype=4\r\n[info]\r\nOther=5\r\n", {"Info", "INFO", "info"},
       {"Type", "type", "Other"}},
      {"duplicates", "[A]\r\nk=1\r\nk=2\r\n[B]\r\nk=3\r\n[A]\r\nk=4\r\nz=5\r\n", {"A", "B"},
       {"k", "z"}},
      {"no-equals", "[A]\r\nword\r\nword=1\r\n;comment\r\n; c=2\r\n[bad\r\nx=3\r\n[]\r\ny=4\r\n",
       {"A", "bad", "[bad", ""}, {"word", ";comment", "; c", "x", "y", "[bad"}},
      {"quotes",
       "[Q]\r\na=\"x y\"\r\nb='z'\r\nc=\"unbalanced\r\nd=\"in\"side\"\r\ne=\"\"\r\nf=\"\r\ng='m\"\r\n"
       "h= \" spaced \" \r\n",
       {"Q"}, {"a", "b", "c", "d", "e", "f", "g", "h"}},
      {"long", "[L]\r\nexact=" + std::string(1023, 'e') + "\r\nover=" + std::string(1500, 'o') +
                   "\r\nshort=" + std::string(1022, 's') + "\r\n",
       {"L"}, {"exact", "over", "short"}},
      {"lf-only", "[A]" + lf + "k=1" + lf + "[B]" + lf + "k=2", {"A", "B"}, {"k"}},
      {"cr-only", "[A]\rk=1\r\r[B]\rk=2\r", {"A", "B"}, {"k"}},
      {"utf8-bom", "\xEF\xBB\xBF[A]\r\nk=\xE5\x90\x8D\xE5\x89\x8D\r\n", {"A"}, {"k"}},
      {"utf16le-bom", std::string("\xFF\xFE[\0A\0]\0\r\0\n\0k\0=\0\x0D\x54\x4D\x52\r\0\n\0", 24),
       {"A"}, {"k"}},
      {"shift-jis",
       "[表ソ]\r\nパス=C:\\表\\ソフト\\\r\n名前=\"予定表\"\r\n[ゾ\r\nx=1\r\n[ゾ]\r\ny=2\r\n"
       "[Ａｂ]\r\nＫ=w\r\n",
       {"表ソ", "ゾ", "[ゾ", "Ａｂ", "ａＢ"}, {"パス", "名前", "x", "y", "Ｋ", "ｋ"}},
      {"wide-space", "[A]\r\nk=\x81\x40v\x81\x40\r\n\x81\x40j=2\r\n", {"A"}, {"k", "j"}},
      {"long-sjis", "[L]\r\nkanji=" + Repeat("表", 600) + "\r\nmixed=" + std::string(1021, 'm') +
                        "表表\r\n",
       {"L"}, {"kanji", "mixed"}},
      {"empty", "", {"A"}, {"k"}},
  };
}

class ProfilePlatformTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(GetACP(), 932u) << "the comparison needs the Japanese code page";
    char temp[MAX_PATH];
    ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
    folder_ = std::string(temp) + "kbprofile" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder_.c_str(), nullptr);
  }
  void TearDown() override {
    for (const std::string& f : files_) DeleteFileA(f.c_str());
    RemoveDirectoryA(folder_.c_str());
  }
  std::string folder_;
  std::vector<std::string> files_;
};

TEST_F(ProfilePlatformTest, ReaderAgreesWithThePlatform) {
  int compared = 0;
  for (const Case& c : Cases()) {
    const std::string path = folder_ + "\\" + c.name + ".ini";
    ASSERT_TRUE(WriteFileAtomic(path, c.bytes)) << c.name;
    files_.push_back(path);
    const ProfileReader reader(path);
    for (const std::string& section : c.sections) {
      for (const std::string& key : c.keys) {
        char buffer[1024];
        const DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), "<def>", buffer,
                                                 sizeof buffer, path.c_str());
        const std::string platform(buffer, n);
        const std::string ours = reader.ReadString(section, key, "<def>");
        ++compared;
        if (platform.size() == 1023 && ours.size() == 1022) {
          // The platform converts a cut value into a 1023-byte buffer; when a
          // double-byte character does not fit, its last byte is left over
          // from the buffer.  The reader stops before that character.
          EXPECT_EQ(platform.substr(0, 1022), ours) << c.name << " [" << section << "] " << key;
          continue;
        }
        EXPECT_EQ(platform, ours) << c.name << " [" << section << "] " << key;
      }
    }
  }
  EXPECT_GT(compared, 100);
}

TEST_F(ProfilePlatformTest, LockedFileIsNeitherReplacedNorErased) {
  const std::string path = folder_ + "\\locked.ini";
  ASSERT_TRUE(WriteFileAtomic(path, "; other program's lines\r\n[A]\r\nk=1\r\n"));
  files_.push_back(path);
  // Another program holds the file open without sharing it.
  HANDLE lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  ProfileWriter writer(path);
  writer.WriteString("B", "k", "2");
  EXPECT_THROW(EraseProfileSection(path, "A"), WriteError);
  CloseHandle(lock);
  // The session began without the file's lines: writing it now would lose them.
  EXPECT_THROW(writer.Commit(), WriteError);
  EXPECT_EQ(ReadWholeFile(path), std::optional<std::string>("; other program's lines\r\n[A]\r\nk=1\r\n"));
  EXPECT_FALSE(FileExists(path + ".kbtmp"));
  // Once free, a new session writes it.
  ProfileWriter again(path);
  again.WriteString("B", "k", "2");
  again.Commit();
  EXPECT_EQ(ProfileReader(path).ReadString("A", "k", ""), "1");
  EXPECT_EQ(ProfileReader(path).ReadString("B", "k", ""), "2");
}

TEST_F(ProfilePlatformTest, PlatformReadsWhatTheWriterWrote) {
  // Values a plain "key=value" line would not give back: the writer quotes
  // them, and the platform must strip those quotes the same way.
  const std::string values[] = {"plain", "", " lead", "trail ", "\"quoted\"", "'q'", "\"",
                                "C:\\表\\ソフト\\", "x\"y", "a=b", std::string(1023, 'z'),
                                "\x81\x40wide\x81\x40"};
  for (const char* start : {"", "; kept\r\n[S]\r\nk0=old\r\n", "\xEF\xBB\xBF[T]\nx=1\n"}) {
    const std::string path = folder_ + "\\written" + std::to_string(files_.size()) + ".ini";
    ASSERT_TRUE(WriteFileAtomic(path, start));
    files_.push_back(path);
    ProfileWriter writer(path);
    for (size_t i = 0; i < std::size(values); ++i) {
      writer.WriteString("S", std::string(1, 'k').append(std::to_string(i)), values[i]);
    }
    writer.Commit();
    for (size_t i = 0; i < std::size(values); ++i) {
      const std::string key = std::string(1, 'k').append(std::to_string(i));
      char buffer[1024];
      const DWORD n = GetPrivateProfileStringA("S", key.c_str(), "<def>", buffer, sizeof buffer,
                                               path.c_str());
      EXPECT_EQ(std::string(buffer, n), values[i]) << "file " << files_.size() << " key " << key;
    }
  }
}

}  // namespace
}  // namespace kb
