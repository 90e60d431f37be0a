#include "model/monitor_choice.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace kb {
namespace {

struct StoredMonitor {
  std::string_view device;
  std::optional<EdgeRect> rect;
};

// The last four comma-separated numbers are the rectangle; what is before
// them is the device name.  A value without them is a bare device name.
StoredMonitor ParseStored(std::string_view value) {
  int numbers[4] = {};
  std::string_view rest = value;
  for (int i = 3; i >= 0; --i) {
    const size_t comma = rest.rfind(',');
    if (comma == std::string_view::npos) return {value, std::nullopt};
    const std::string_view field = rest.substr(comma + 1);
    const char* end = field.data() + field.size();
    const auto [stop, error] = std::from_chars(field.data(), end, numbers[i]);
    if (field.empty() || error != std::errc() || stop != end) return {value, std::nullopt};
    rest = rest.substr(0, comma);
  }
  return {rest, EdgeRect{numbers[0], numbers[1], numbers[2], numbers[3]}};
}

int FindStored(const std::vector<MonitorDesc>& monitors, std::string_view stored) {
  if (stored.empty()) return -1;
  const StoredMonitor wanted = ParseStored(stored);
  if (!wanted.device.empty()) {
    for (size_t i = 0; i < monitors.size(); ++i) {
      if (monitors[i].device == wanted.device) return static_cast<int>(i);
    }
  }
  if (wanted.rect) {
    for (size_t i = 0; i < monitors.size(); ++i) {
      if (monitors[i].area == *wanted.rect) return static_cast<int>(i);
    }
  }
  return -1;
}

}  // namespace

std::string MonitorKeyValue(const MonitorDesc& m) {
  return m.device + "," + std::to_string(m.area.left) + "," + std::to_string(m.area.top) + "," +
         std::to_string(m.area.right) + "," + std::to_string(m.area.bottom);
}

int ChooseMonitor(const std::vector<MonitorDesc>& monitors, std::string_view stored) {
  if (monitors.empty()) return -1;
  if (const int found = FindStored(monitors, stored); found >= 0) return found;
  const auto primary = std::find_if(monitors.begin(), monitors.end(),
                                    [](const MonitorDesc& m) { return m.primary; });
  return primary == monitors.end() ? 0 : static_cast<int>(primary - monitors.begin());
}

bool StoredMonitorPresent(const std::vector<MonitorDesc>& monitors, std::string_view stored) {
  return FindStored(monitors, stored) >= 0;
}

std::string MonitorLabel(int number, const MonitorDesc& m) {
  std::string label = std::to_string(number) + ": " + std::to_string(m.area.right - m.area.left) +
                      " × " + std::to_string(m.area.bottom - m.area.top);
  if (m.primary) label += " (主)";
  return label;
}

ScreenArea AreaOf(const MonitorDesc& m) {
  return {m.area.left, m.area.top, m.area.right - m.area.left, m.area.bottom - m.area.top, m.work};
}

Box ToScreen(const ScreenArea& s, Box box) {
  box.left += s.left;
  box.top += s.top;
  return box;
}

Box FromScreen(const ScreenArea& s, Box box) {
  box.left -= s.left;
  box.top -= s.top;
  return box;
}

EdgeRect ToScreen(const ScreenArea& s, EdgeRect r) {
  return {r.left + s.left, r.top + s.top, r.right + s.left, r.bottom + s.top};
}

EdgeRect FromScreen(const ScreenArea& s, EdgeRect r) {
  return {r.left - s.left, r.top - s.top, r.right - s.left, r.bottom - s.top};
}

Box CentreInWorkArea(const EdgeRect& work, int width, int height) {
  const int x = work.left + (work.right - work.left - width) / 2;
  const int y = work.top + (work.bottom - work.top - height) / 2;
  return {std::max(x, work.left), std::max(y, work.top), width, height};
}

}  // namespace kb
