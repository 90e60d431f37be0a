#include "settings/settings_choice.h"

#include <array>
#include <charconv>

namespace kb {

SettingsChoice ChoiceOf(const Settings& s, uint8_t exitMethod) {
  SettingsChoice c;
  c.Type = s.Type;
  c.AutoHide = s.AutoHide;
  c.ExecHide = s.ExecHide;
  c.NotActiveHide = s.NotActiveHide;
  c.StayonTop = s.StayonTop;
  c.SaverPause = s.SaverPause;
  c.MouseOnActive = s.MouseOnActive;
  c.TMaxFileNum = s.TMaxFileNum;
  c.MaxFileLimit = s.MaxFileLimit;
  c.LateBU = s.LateBU;
  c.OnTray = s.OnTray;
  c.StartUp = s.StartUp;
  c.ExitMethod = exitMethod;
  c.Monitor = s.Monitor;
  c.HotKey = s.HotKey;
  return c;
}

void TakeChoice(const SettingsChoice& c, Settings& s, uint8_t& exitMethod) {
  s.Type = c.Type;
  s.AutoHide = c.AutoHide;
  s.ExecHide = c.ExecHide;
  s.NotActiveHide = c.NotActiveHide;
  s.StayonTop = c.StayonTop;
  s.SaverPause = c.SaverPause;
  s.MouseOnActive = c.MouseOnActive;
  s.TMaxFileNum = c.TMaxFileNum;
  s.MaxFileLimit = c.MaxFileLimit;
  s.LateBU = c.LateBU;
  s.OnTray = c.OnTray;
  s.StartUp = c.StartUp;
  exitMethod = c.ExitMethod;
  s.Monitor = c.Monitor;
  s.HotKey = c.HotKey;
  ApplyListCountRule(s);
}

int TaskbarItemOf(uint8_t onTray) { return onTray == 1 ? 1 : 0; }

std::optional<std::string> ExitToolOption(int item) {
  static constexpr std::array<const char*, 4> kOptions = {"/S", "/F", "/W", "/R"};
  if (item < 0 || item >= static_cast<int>(kOptions.size())) return std::nullopt;
  return kOptions[static_cast<size_t>(item)];
}

int SpinValueOf(std::string_view text, int minimum, int maximum) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  long long value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || stop != end) return minimum;
  // A number too long for the type is beyond either end of the range.
  if (error == std::errc::result_out_of_range) return text.front() == '-' ? minimum : maximum;
  if (value < minimum) return minimum;
  if (value > maximum) return maximum;
  return static_cast<int>(value);
}

}  // namespace kb
