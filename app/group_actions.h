// What the group buttons of the bar do with the group window: open, close and
// move it, copy one group onto another, take dropped files and folders.
// The bar's group buttons hand their mouse releases and drops to
// GroupButtonActions, which the application connects to the bar.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "launcher/group_button.h"
#include "win/glyph_button.h"

namespace kb {

class App;

// The texts of the group buttons' questions and messages.
inline constexpr char kGroupNotEmptyText[] =
    "このグループの中身は空ではありません。変更は右クリックで実行してください。";
inline constexpr char kImportFolderQuestion[] =
    "フォルダに含まれるファイルをファイルウインドウに登録しますか？";
inline constexpr char kTooManyFilesText[] =
    "フォルダに含まれるファイル数が登録できるファイル数を越えました\r"
    "登録されなかったファイルは手動登録してください";
inline constexpr char kCopyGroupQuestion[] = "グループの中身もすべてコピーしますか？";

void GroupButtonMouseUp(App& app, TGroupButton& button, win::MouseButton which, WPARAM keys);
void GroupButtonFilesDropped(App& app, TGroupButton& button, HDROP drop);

// Shows group `button.Tag()` in the group window beside the button.
void OpenGroupWindow(App& app, TGroupButton& button);

// The keyboard's way in: the bar opens the group window of the group shown
// last (TMainForm::OpenLastGroup), which then takes the focus on its first
// program button; Esc there gives the focus back to `returnFocusTo`.  False
// when the bar has no group to open.
bool OpenGroupWindowByKeyboard(App& app, HWND returnFocusTo);
// The previous (-1) or next (+1) group, round the group buttons' order,
// opened as its group button's click opens it; the focus stays on the
// program button it was on.
void StepGroupByKeyboard(App& app, int delta);

// Group button k takes the picked-up group's record; its glyph stays.
void PasteGroupEntry(App& app, int k);
// The picked-up group's slots and their icons become those of `target`.
void CopyGroupEntries(App& app, TGroupButton& button, int target);
// Offers to register the entries of a folder in the group's slots.
void ImportFolder(App& app, TGroupButton& button, const std::string& folder);

// The drag cursor over the bar and its group buttons while a group copy
// waits for its target, or the default cursor.
void SetGroupCopyCursor(App& app, bool dragging);

class GroupButtonActions final : public GroupButtonEvents {
 public:
  explicit GroupButtonActions(App& app) : app_(app) {}
  void GroupButtonMouseUp(TGroupButton& button, win::MouseButton which, WPARAM keys) override {
    kb::GroupButtonMouseUp(app_, button, which, keys);
  }
  void GroupButtonFilesDropped(TGroupButton& button, HDROP drop) override {
    kb::GroupButtonFilesDropped(app_, button, drop);
  }
  void GroupButtonOpen(TGroupButton& button) override;

 private:
  App& app_;
};

}  // namespace kb
