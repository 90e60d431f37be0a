#include "win/launch_button.h"

#include <stdexcept>

#include "model/entry_rules.h"
#include "win/shell.h"

namespace kb::win {

LaunchButton::~LaunchButton() {
  Destroy();
  SetGlyph(nullptr);
  if (glyphBitmap_) DeleteObject(glyphBitmap_);
  if (shownGlyph_) DeleteObject(shownGlyph_);
}

void LaunchButton::CreateButton(HWND parent, int x, int y, const std::string& name) {
  if (!glyphBitmap_) glyphBitmap_ = CreateBlankGlyph(&glyphPixels_);
  // A drop target from its creation: WS_EX_ACCEPTFILES is all that
  // DragAcceptFiles sets, and calling it would load the shell's library
  // before the bar can show.
  if (!glyphBitmap_ ||
      !GlyphButton::Create(parent, x, y, ScaledSize(), ScaledSize(), tag_, WS_EX_ACCEPTFILES)) {
    throw std::runtime_error(name + " を作成できません");
  }
  KeepFields = false;
  if (!Caption().empty()) SetCaption("");
  GlyphChanged();
}

void LaunchButton::SetScale(DpiScale scale) {
  if (scale == scale_ && (scale.IsBase() || shownGlyph_)) return;
  scale_ = scale;
  if (Glyph() == shownGlyph_) SetGlyph(nullptr);
  if (shownGlyph_) DeleteObject(shownGlyph_);
  shownGlyph_ = scale.IsBase() ? nullptr : CreateBlankGlyph(nullptr, scale(kGlyphSize));
  if (hwnd()) GlyphChanged();
}

void LaunchButton::GlyphChanged() {
  if (shownGlyph_) MakeShownGlyph();
  if (Glyph() != ShownGlyph()) {
    SetGlyph(ShownGlyph(), 1, false);  // invalidates
  } else if (hwnd()) {
    InvalidateRect(hwnd(), nullptr, FALSE);
  }
}

void LaunchButton::MakeShownGlyph() {
  const int size = scale_(kGlyphSize);
  const std::string& source = Entry.IconFile.empty() ? Entry.FPFileName : Entry.IconFile;
  OwnedIcon icon(source.empty() ? nullptr : ExtractIconSized(source, Entry.IconIndex, size));
  if (icon.get()) {
    DrawIconGlyph(shownGlyph_, icon.get(), size);
  } else {
    StretchGlyph(glyphBitmap_, shownGlyph_, size);
  }
}

void LaunchButton::SetFromFile(const std::string& path) {
  OwnedIcon extracted(RecordIcon());
  std::optional<ShellFileInfo> info = QueryShellFileInfo(path);
  OwnedIcon shellIcon(info ? info->icon : nullptr);
  if (!KeepFields) Entry.ShowName = info ? info->displayName : std::string();
  if (IsShortcutPath(path)) {
    ResolveShortcut(path);
  } else if (!KeepFields) {
    ApplyFileToRecord(Entry, path);
  }
  SetIconGlyph(extracted.get() ? extracted.get() : shellIcon.get());
  SetHint(Entry.ShowName);
}

bool LaunchButton::ResolveShortcut(const std::string& path) {
  // Records are made from files while a drop is handled (or a paste, from a
  // record already resolved): the shell's search must not open there.
  const std::optional<ShortcutTarget> target = Shell().ResolveLink(hwnd(), path, LinkUi::Never);
  if (!target) return false;
  Entry.FPFileName = target->path;
  Entry.ExecOption = target->showCmd;
  Entry.WorkingDir = target->workingDir;
  ShortcutResolved();
  return target->workingDirRead;
}

void LaunchButton::SetIconGlyph(HICON icon) {
  if (icon) DrawIconGlyph(glyphBitmap_, icon);
  GlyphChanged();
  StoreGlyph();
}

}  // namespace kb::win
