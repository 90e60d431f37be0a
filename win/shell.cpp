#include "win/shell.h"

#include <algorithm>
#include <cstdint>

#include "win/shell_link.h"
#include "win/text.h"

namespace kb::win {

HICON ExtractIconFrom(const std::string& file, int index) {
  // ExtractIcon gives the system's icon size, which on a DPI-aware launcher
  // at 150 % is 48: the glyphs and the icon store hold the 32 x 32 image.
  if (GetSystemMetrics(SM_CXICON) != 32) return ExtractIconSized(file, index, 32);
  HICON icon = ExtractIconW(GetModuleHandleW(nullptr), Widen(file).c_str(),
                            static_cast<UINT>(index));
  // ExtractIcon answers 1 for a file that is no executable, library or icon.
  if (reinterpret_cast<INT_PTR>(icon) == 1) return nullptr;
  return icon;
}

HICON ExtractIconSized(const std::string& file, int index, int size) {
  HICON icon = nullptr;
  UINT id = 0;
  const UINT got = PrivateExtractIconsW(Widen(file).c_str(), index, size, size, &icon, &id, 1,
                                        LR_DEFAULTCOLOR);
  // 0xFFFFFFFF: no such file; 0: no icon there.
  if (got == 0 || got == 0xFFFFFFFF) return nullptr;
  return icon;
}

int IconCount(const std::string& file) {
  HICON count = ExtractIconW(GetModuleHandleW(nullptr), Widen(file).c_str(),
                             static_cast<UINT>(-1));
  return static_cast<int>(reinterpret_cast<INT_PTR>(count));
}

std::optional<ShellFileInfo> QueryShellFileInfo(const std::string& path) {
  SHFILEINFOW info{};
  if (!SHGetFileInfoW(Widen(path).c_str(), 0, &info, sizeof info, SHGFI_ICON | SHGFI_DISPLAYNAME)) {
    return std::nullopt;
  }
  ShellFileInfo result;
  result.icon = info.hIcon;
  try {
    result.displayName = NarrowOrThrow(info.szDisplayName);
  } catch (...) {
    if (info.hIcon) DestroyIcon(info.hIcon);
    throw;
  }
  return result;
}

void DrawIconGlyph(HBITMAP glyph, HICON icon) { DrawIconGlyph(glyph, icon, 32); }

void DrawIconGlyph(HBITMAP glyph, HICON icon, int size) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(dc, glyph);
  HBRUSH face = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
  DrawIconEx(dc, 0, 0, icon, size, size, 0, face, DI_IMAGE);
  SetPixel(dc, 0, size - 1, GetSysColor(COLOR_BTNFACE));
  DeleteObject(face);
  SelectObject(dc, old);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
}

void FillGlyph(HBITMAP glyph) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(dc, glyph);
  BITMAP shape{};
  GetObjectW(glyph, sizeof shape, &shape);
  RECT all{0, 0, shape.bmWidth, shape.bmHeight};
  FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
  SelectObject(dc, old);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
}

void StretchGlyph(HBITMAP source, HBITMAP target, int size) {
  HDC from = CreateCompatibleDC(nullptr);
  HDC to = CreateCompatibleDC(nullptr);
  HGDIOBJ oldFrom = SelectObject(from, source);
  HGDIOBJ oldTo = SelectObject(to, target);
  SetStretchBltMode(to, COLORONCOLOR);
  StretchBlt(to, 0, 0, size, size, from, 0, 0, 32, 32, SRCCOPY);
  SetPixel(to, 0, size - 1, GetSysColor(COLOR_BTNFACE));
  SelectObject(to, oldTo);
  SelectObject(from, oldFrom);
  DeleteDC(to);
  DeleteDC(from);
}

HBITMAP CreateTopDownDib(int width, int height, uint32_t** pixels) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  *pixels = dib ? static_cast<uint32_t*>(bits) : nullptr;
  return dib;
}

HBITMAP CreateBlankGlyph(uint32_t** pixels, int size) {
  // The icon store's own format, so copying a store cell into it needs no
  // conversion.
  uint32_t* bits = nullptr;
  HBITMAP glyph = CreateTopDownDib(size, size, &bits);
  if (!glyph) return nullptr;
  // Filled through its pixels: no device contexts for each of the dozens of
  // glyphs the launcher makes at its start.
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const uint32_t pixel = (GetRValue(face) << 16) | (GetGValue(face) << 8) | GetBValue(face);
  std::fill_n(bits, size * size, pixel);
  if (pixels) *pixels = bits;
  return glyph;
}

UINT DroppedCount(HDROP drop) { return DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0); }

std::string DroppedName(HDROP drop, UINT index) {
  const UINT length = DragQueryFileW(drop, index, nullptr, 0);
  std::wstring wide(length + 1, L'\0');
  DragQueryFileW(drop, index, wide.data(), length + 1);
  wide.resize(length);
  std::string name = NarrowOrThrow(wide);
  // The launcher's buffer for a dropped name holds 254 characters and the NUL.
  if (name.size() >= 255) {
    throw DroppedNameTooLong("ファイル名が長すぎるため扱えません");
  }
  return name;
}

std::vector<std::string> DroppedNames(HDROP drop) {
  std::vector<std::string> names;
  const UINT count = DroppedCount(drop);
  for (UINT i = 0; i < count; ++i) names.push_back(DroppedName(drop, i));
  return names;
}

void ShellAccess::Open(HWND owner, const std::string& file, const std::string& parameters,
                       const std::string& directory, int showCmd) {
  const std::wstring wideFile = Widen(file);
  const std::wstring wideParameters = Widen(parameters);
  const std::wstring wideDirectory = Widen(directory);
  ShellExecuteW(owner, L"Open", wideFile.c_str(),
                wideParameters.empty() ? nullptr : wideParameters.c_str(),
                wideDirectory.empty() ? nullptr : wideDirectory.c_str(), showCmd);
}

std::optional<ShortcutTarget> ShellAccess::ResolveLink(HWND owner, const std::string& linkPath,
                                                       LinkUi ui) {
  return ReadShortcut(owner, linkPath, ui);
}

}  // namespace kb::win
