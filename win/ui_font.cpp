#include "win/ui_font.h"

#include <cwchar>
#include <map>
#include <mutex>

#include "model/dpi_scale.h"

#include "win/text.h"

namespace kb::win {
namespace {

// Holds the font for the life of the process; GDI frees it at exit.  A
// function-local instance keeps it out of the program's mutable state.
class FontCache {
 public:
  explicit FontCache(int dpi = kBaseDpi) {
    const LOGFONTW logFont = UiLogFont(dpi);
    font_ = CreateFontIndirectW(&logFont);
    if (!font_) font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  }
  FontCache(const FontCache&) = delete;
  FontCache& operator=(const FontCache&) = delete;
  HFONT font() const { return font_; }

 private:
  HFONT font_ = nullptr;
};

// One font per DPI met (rarely more than two), kept like the 96-dpi one.
class ScaledFonts {
 public:
  HFONT font(int dpi) {
    const std::lock_guard<std::mutex> lock(mutex_);
    auto found = fonts_.find(dpi);
    if (found == fonts_.end()) found = fonts_.try_emplace(dpi, dpi).first;
    return found->second.font();
  }

 private:
  std::mutex mutex_;
  std::map<int, FontCache> fonts_;
};

}  // namespace

LOGFONTW UiLogFont(int dpi) {
  LOGFONTW lf{};
  lf.lfHeight = -DpiScale(dpi)(12);  // negative: character height, not cell height
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = SHIFTJIS_CHARSET;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
  // Written as UTF-16 escapes so the face name does not depend on the
  // narrow execution character set: "ＭＳ Ｐゴシック".
  const wchar_t face[] = L"\xFF2D\xFF33 \xFF30\x30B4\x30B7\x30C3\x30AF";
  wcsncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  return lf;
}

HFONT UiFont() {
  static const FontCache cache;
  return cache.font();
}

HFONT UiFont(int dpi) {
  if (dpi == kBaseDpi || dpi <= 0) return UiFont();
  static ScaledFonts fonts;
  return fonts.font(dpi);
}

SIZE MeasureUiText(const std::string& sjisText, int dpi) {
  const std::wstring text = Widen(sjisText);
  SIZE size{};
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, UiFont(dpi));
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  if (text.empty()) {
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    size.cy = tm.tmHeight;
  }
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return size;
}

void ApplyUiFont(HWND hwnd, int dpi) {
  if (hwnd) SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont(dpi)), TRUE);
}

}  // namespace kb::win
