// The help file as built, read back with extract_chmLib (libchm-bin).
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "common/encoding.h"
#include "common/help_topics.h"

namespace kb {
namespace {

namespace fs = std::filesystem;

// The help file's pages by name (raw bytes), extracted once.
const std::map<std::string, std::string>& Pages() {
  static const std::map<std::string, std::string> pages = [] {
    std::map<std::string, std::string> read;
    const fs::path folder = fs::temp_directory_path() / ("kb_help_" + std::to_string(getpid()));
    fs::remove_all(folder);
    const std::string command = std::string(KB_EXTRACT_CHM) + " '" KB_HELP_FILE "' '" +
                                folder.string() + "' > /dev/null";
    if (std::system(command.c_str()) != 0) return read;
    for (const auto& entry : fs::directory_iterator(folder)) {
      if (!entry.is_regular_file()) continue;
      std::ifstream in(entry.path(), std::ios::binary);
      std::ostringstream bytes;
      bytes << in.rdbuf();
      read[entry.path().filename().string()] = bytes.str();
    }
    fs::remove_all(folder);
    return read;
  }();
  return pages;
}

bool HasAnchor(const std::string& page, const std::string& anchor) {
  return page.find("name=\"" + anchor + "\"") != std::string::npos;
}

// "page.htm#anchor" is a page of the file and, with an anchor, a place in it.
::testing::AssertionResult Resolves(const std::string& target) {
  const std::string file = help::PageFile(target);
  const auto page = Pages().find(file);
  if (page == Pages().end()) return ::testing::AssertionFailure() << file << " is not in the help file";
  const size_t hash = target.find('#');
  if (hash != std::string::npos && !HasAnchor(page->second, target.substr(hash + 1))) {
    return ::testing::AssertionFailure() << target << ": no such anchor";
  }
  return ::testing::AssertionSuccess();
}

TEST(HelpFile, EveryContextNumberOpensAPageOfTheFile) {
  ASSERT_FALSE(Pages().empty()) << "the help file could not be read back";
  EXPECT_TRUE(Resolves(help::kContentsPage));
  std::set<uint32_t> seen;
  for (const help::Topic& topic : help::Topics()) {
    EXPECT_TRUE(seen.insert(topic.context).second) << topic.context << " twice";
    EXPECT_NE(topic.context, 0u);
    EXPECT_TRUE(Resolves(topic.page)) << "context " << topic.context;
    EXPECT_STREQ(help::PageOf(topic.context), topic.page);
  }
  EXPECT_EQ(help::PageOf(0), std::string(help::kContentsPage));
  EXPECT_EQ(help::PageOf(3), nullptr);
}

// The Japanese viewer reads the pages, the contents and the titles as
// Shift-JIS: every page says so and holds nothing else.
TEST(HelpFile, PagesAndContentsAreShiftJisAndSaySo) {
  ASSERT_FALSE(Pages().empty());
  int pages = 0;
  for (const auto& [name, bytes] : Pages()) {
    const bool html = name.ends_with(".htm") || name.ends_with(".hhc");
    if (!html) continue;
    ++pages;
    EXPECT_NE(bytes.find("charset=Shift_JIS"), std::string::npos) << name;
    const std::u16string text = Utf16FromShiftJis(bytes);
    EXPECT_EQ(text.find(u'\uFFFD'), std::u16string::npos) << name;
    EXPECT_EQ(ShiftJisFromUtf16Lossy(text), bytes) << name;
    // Real Japanese text, not an ASCII placeholder.
    EXPECT_TRUE(std::any_of(text.begin(), text.end(), [](char16_t c) { return c >= 0x3040; }))
        << name;
  }
  EXPECT_GE(pages, 10);
}

// Every link of every page and of the contents reaches a page (and anchor)
// of the file, and every page can be reached from the contents.
TEST(HelpFile, LinksAndContentsReachExistingPages) {
  ASSERT_FALSE(Pages().empty());
  const std::regex link(R"re((?:href|value)="([a-z_]+\.htm(?:#[a-z]+)?)")re");
  std::set<std::string> inContents;
  for (const auto& [name, bytes] : Pages()) {
    if (!name.ends_with(".htm") && !name.ends_with(".hhc")) continue;
    for (std::sregex_iterator it(bytes.begin(), bytes.end(), link), end; it != end; ++it) {
      const std::string target = (*it)[1];
      EXPECT_TRUE(Resolves(target)) << "in " << name;
      if (name.ends_with(".hhc")) inContents.insert(help::PageFile(target));
    }
  }
  for (const auto& [name, bytes] : Pages()) {
    if (!name.ends_with(".htm")) continue;
    EXPECT_TRUE(inContents.count(name)) << name << " not in the contents";
  }
}

}  // namespace
}  // namespace kb
