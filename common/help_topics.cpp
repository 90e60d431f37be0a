#include "common/help_topics.h"

#include <algorithm>
#include <array>

namespace kb::help {
namespace {

// The numbers are those the windows set (SetWindowContextHelpId); a window
// test reads every number off the real windows and finds each here.
constexpr std::array<Topic, 14> kTopics{{
    {1, "bar.htm"},               // the bar, its group buttons and settings button
    {2, "bar.htm#scroll"},        // the scroll buttons
    {4, "version.htm"},           // settings: version page
    {5, "bar.htm#help"},          // the bar's help button
    {7, "settings_group.htm"},    // settings: group window page
    {11, "groupwindow.htm"},      // the group window and the registration dialog
    {12, "settings.htm#close"},   // settings: "Kobaruneの終了(&C)"
    {24, "settings.htm"},         // the settings dialog's pages
    {25, "backup.htm"},           // the pre-launch backup and its target dialog
    {28, "settings_exit.htm"},    // settings: Windows exit page
    {30, "settings_exit.htm#method"},  // settings: exit method
    {36, "groupwindow.htm#delete"},    // the registration dialog's "登録削除"
    {42, "settings_other.htm"},   // settings: other page
    {44, "settings_file.htm"},    // settings: file window page
}};

}  // namespace

std::span<const Topic> Topics() { return kTopics; }

const char* PageOf(uint32_t context) {
  if (context == 0) return kContentsPage;
  const auto it = std::find_if(kTopics.begin(), kTopics.end(),
                               [context](const Topic& t) { return t.context == context; });
  return it == kTopics.end() ? nullptr : it->page;
}

std::string PageFile(const std::string& page) { return page.substr(0, page.find('#')); }

Viewer ChooseViewer(bool winHelpFilePresent, bool winHelpAvailable, bool htmlHelpFilePresent) {
  if (winHelpFilePresent && winHelpAvailable) return Viewer::WinHelp;
  if (htmlHelpFilePresent) return Viewer::HtmlHelp;
  return Viewer::None;
}

}  // namespace kb::help
