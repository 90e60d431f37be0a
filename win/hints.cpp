#include "win/hints.h"

#include <commctrl.h>

#include <cstddef>
#include <vector>

#include "win/text.h"

namespace kb::win {
namespace {

constexpr wchar_t kHintProperty[] = L"KobaruneHintWindow";
constexpr int kMaxHintWidth = 400;

HWND RootOf(HWND tool) {
  HWND root = GetAncestor(tool, GA_ROOT);
  return root ? root : tool;
}

HWND ExistingHintWindow(HWND root) {
  HWND tip = static_cast<HWND>(GetPropW(root, kHintProperty));
  return (tip && IsWindow(tip)) ? tip : nullptr;
}

HWND EnsureHintWindow(HWND root) {
  if (HWND tip = ExistingHintWindow(root)) return tip;
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  HWND tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, root,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!tip) return nullptr;
  SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, kMaxHintWidth);
  SetPropW(root, kHintProperty, tip);
  return tip;
}

// Up to lpszText: every comctl32 version takes it (lParam, the next field,
// is not used).
constexpr UINT kToolInfoSize = offsetof(TTTOOLINFOW, lpszText) + sizeof(LPWSTR);

TTTOOLINFOW ToolInfo(HWND tool, wchar_t* text) {
  TTTOOLINFOW ti{};
  ti.cbSize = kToolInfoSize;
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  ti.hwnd = GetParent(tool) ? GetParent(tool) : tool;
  ti.uId = reinterpret_cast<UINT_PTR>(tool);
  ti.lpszText = text;
  return ti;
}

bool HasTool(HWND tip, HWND tool) {
  TTTOOLINFOW ti = ToolInfo(tool, nullptr);
  return SendMessageW(tip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&ti)) != 0;
}

}  // namespace

UINT HintToolInfoSize() { return kToolInfoSize; }

bool SetHint(HWND tool, const std::string& sjisText) {
  if (!tool) return false;
  const HWND root = RootOf(tool);
  if (sjisText.empty()) {
    if (HWND tip = ExistingHintWindow(root)) {
      TTTOOLINFOW ti = ToolInfo(tool, nullptr);
      SendMessageW(tip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
    return true;
  }
  HWND tip = EnsureHintWindow(root);
  if (!tip) return false;
  std::wstring text = Widen(sjisText);
  TTTOOLINFOW ti = ToolInfo(tool, text.data());
  if (HasTool(tip, tool)) {
    SendMessageW(tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
    return true;
  }
  return SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti)) != 0;
}

std::string HintOf(HWND tool) {
  if (!tool) return {};
  HWND tip = ExistingHintWindow(RootOf(tool));
  if (!tip || !HasTool(tip, tool)) return {};
  // TTM_GETTEXT has no size argument; hints are short, 1 KiB is plenty.
  std::vector<wchar_t> buffer(1024, L'\0');
  TTTOOLINFOW ti = ToolInfo(tool, buffer.data());
  SendMessageW(tip, TTM_GETTEXTW, buffer.size(), reinterpret_cast<LPARAM>(&ti));
  return Narrow(buffer.data()).value_or(std::string());
}

void EnableHints(HWND topLevel, bool enabled) {
  if (HWND tip = topLevel ? ExistingHintWindow(RootOf(topLevel)) : nullptr) {
    SendMessageW(tip, TTM_ACTIVATE, enabled ? TRUE : FALSE, 0);
  }
}

HWND HintWindowOf(HWND topLevel) { return topLevel ? ExistingHintWindow(RootOf(topLevel)) : nullptr; }

void ForgetHintWindow(HWND topLevel) {
  if (topLevel) RemovePropW(topLevel, kHintProperty);
}

}  // namespace kb::win
