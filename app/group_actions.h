// What the group buttons of the bar do with the group window: open, close and
// move it, copy one group onto another, take dropped files and folders.
// TGroupButton hands its mouse releases and drops to these functions.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "win/glyph_button.h"

namespace kb {

class App;
class TGroupButton;

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

// Builds the group's record and icon from a file, folder or shortcut.
void GroupSetFromFile(App& app, TGroupButton& button, const std::string& path);
// Target, working folder, show command (and the target as icon file) from a
// shortcut; false when it cannot be read, and the record stays as it was.
bool GroupResolveShortcut(App& app, TGroupButton& button, const std::string& path);
// Draws the icon (if any) into the button's glyph and copies the glyph into
// the group's icon-store cell (column 0).
void GroupSetIconGlyph(App& app, TGroupButton& button, HICON icon);
// Rebuilds the glyph from the record's icon file (after a paste or an edit).
void RefreshGlyph(App& app, TGroupButton& button);

// Group button k takes the picked-up group's record; its glyph stays.
void PasteGroupEntry(App& app, int k);
// The picked-up group's slots and their icons become those of `target`.
void CopyGroupEntries(App& app, TGroupButton& button, int target);
// Offers to register the entries of a folder in the group's slots.
void ImportFolder(App& app, TGroupButton& button, const std::string& folder);

// The drag cursor over the bar and its group buttons while a group copy
// waits for its target, or the default cursor.
void SetGroupCopyCursor(App& app, bool dragging);

}  // namespace kb
