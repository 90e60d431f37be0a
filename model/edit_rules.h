// Value rules of the registration dialog that need no window: which start-up
// window state the list shows for a stored show command, what a typed text
// means, which icon is selected, and the file dialog's filter and folder.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kb {

// The items of the start-up window state list, in order: item i stands for
// the show command i.
inline constexpr std::array<const char*, 5> kExecOptionItems = {
    "非表示で起動", "通常の大きさで起動", "アイコンで起動", "最大化で起動", "非ｱｸﾃｨﾌﾞ化で起動"};

inline constexpr int kDefaultExecItem = 1;

// The list item shown for a stored show command.  A shortcut can bring any
// show command; those outside the list are shown as the item that starts the
// window the same way (minimised, not activated, normal).
int ExecOptionItem(int32_t execOption);

// The show command taken back from the list.  `selection` is the list's
// selected item (-1 when the user typed a text into the edit part); a typed
// text that names an item exactly stands for that item, any other text keeps
// `lastItem`, the item shown before the user typed.
int32_t ExecOptionFromChoice(int selection, std::string_view typedText, int lastItem);

// The icon item to select when the dialog opens: the caller's index when the
// list holds it, else the first icon (an index the icon source no longer has
// would leave the list without a selection).
int IconItemToSelect(int initialIndex, int iconCount);

// Percent of the icon listing after icon k of n (integer division).
int IconListPercent(int k, int n);

// The pieces of a filter written as "name|pattern|name|pattern"; a '|' that
// is the second byte of a double-byte character does not split.
std::vector<std::string> SplitFilter(std::string_view filter);

// The folder the file dialog starts in: the folder part of `path` without
// its trailing backslash ("" when the path names no folder).
std::string InitialFolder(std::string_view path);

}  // namespace kb
