// The launcher's help: the files beside the launcher, the help context
// numbers its windows and controls carry, and the page of the HTML help file
// each number opens.  The help file's pages live in help/ (see README).
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace kb::help {

// The HTML help file beside the launcher, built from help/.
inline constexpr char kHtmlHelpFileName[] = "Pelkan2.chm";
// Its contents page: the bar's help button and F1 where no number applies.
inline constexpr char kContentsPage[] = "index.htm";

// A help context number and the page (with "#anchor" where the number's
// text is a part of a page) it opens in the HTML help file.
struct Topic {
  uint32_t context;
  const char* page;
};

// Every help context number with a page, ascending.
std::span<const Topic> Topics();

// The page of a context number; nullptr for a number without one.  0 (no
// number) is the contents page.
const char* PageOf(uint32_t context);

// The page's file inside the help file, without "#anchor".
std::string PageFile(const std::string& page);

// Which help a request opens.  The WinHelp files are kept where WinHelp
// still runs (up to Windows XP); everywhere else the HTML help file.
enum class Viewer { WinHelp, HtmlHelp, None };
Viewer ChooseViewer(bool winHelpFilePresent, bool winHelpAvailable, bool htmlHelpFilePresent);

}  // namespace kb::help
