#include "components/folder_dialog.h"


#include "win/text.h"
#include "win/window.h"

namespace kb {

namespace {

constexpr UINT kAllOptions = bifReturnOnlyFSDIRs | bifDontGoBelowDomain | bifStatusText |
                             bifReturnFSAncestors | bifBrowseForComputer | bifBrowseForPrinter |
                             bifBrowseIncludeFiles;

// An item list the shell allocated, freed with the shell's allocator.
class ItemList {
 public:
  explicit ItemList(LPITEMIDLIST list) : list_(list) {}
  ~ItemList() {
    if (list_) CoTaskMemFree(list_);
  }
  ItemList(const ItemList&) = delete;
  ItemList& operator=(const ItemList&) = delete;
  LPITEMIDLIST get() const { return list_; }

 private:
  LPITEMIDLIST list_ = nullptr;
};

// The special folder's item list; null when the shell has none.
LPITEMIDLIST SpecialFolder(HWND owner, TSpecialFolder folder) {
  LPITEMIDLIST list = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(owner, static_cast<int>(folder), &list))) return nullptr;
  return list;
}

std::wstring PathOf(LPCITEMIDLIST item) {
  wchar_t path[MAX_PATH] = {};
  if (!item || !SHGetPathFromIDListW(item, path)) return {};
  return path;
}

// COM for the browser on the calling thread, for as long as it runs.
class ComScope {
 public:
  ComScope() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComScope() {
    if (initialised_) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  bool initialised_;
};

}  // namespace

TSelectFolderDialog::TSelectFolderDialog(HWND owner) : owner_(owner) {}

UINT TSelectFolderDialog::BrowseFlags() const { return Options & kAllOptions; }

void TSelectFolderDialog::SetStatusText(const std::string& sjisText) {
  statusText_ = sjisText;
  if (browser_) {
    const std::wstring text = win::Widen(statusText_);
    SendMessageW(browser_, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
}

bool TSelectFolderDialog::Execute() {
  ComScope com;
  ItemList root(SpecialFolder(owner_, RootFolder));
  if (!root.get()) return false;

  wchar_t displayName[MAX_PATH] = {};
  const std::wstring title = win::Widen(Title);
  BROWSEINFOW info{};
  info.hwndOwner = owner_;
  info.pidlRoot = root.get();
  info.pszDisplayName = displayName;
  info.lpszTitle = title.c_str();
  info.ulFlags = BrowseFlags();
  info.lpfn = &TSelectFolderDialog::BrowseCallback;
  info.lParam = reinterpret_cast<LPARAM>(this);

  ItemList chosen(SHBrowseForFolderW(&info));
  browser_ = nullptr;
  if (!chosen.get()) return false;
  // An item that is no file-system folder (My Computer, a printer) has no
  // path: that is no folder chosen, not an empty one.
  const std::wstring path = PathOf(chosen.get());
  if (path.empty()) return false;
  // Nothing is kept unless the whole path has a Shift-JIS form.
  std::string folder = win::NarrowOrThrow(path);
  displayName_ = win::Narrow(displayName).value_or(std::string());
  folderName_ = std::move(folder);
  return true;
}

int CALLBACK TSelectFolderDialog::BrowseCallback(HWND hwnd, UINT msg, LPARAM lParam,
                                                 LPARAM data) {
  auto* self = reinterpret_cast<TSelectFolderDialog*>(data);
  win::GuardCallback([&] {
    if (!self->browser_) self->browser_ = hwnd;
    if (msg == BFFM_INITIALIZED) self->Initialized();
    if (msg == BFFM_SELCHANGED) self->SelectionChanged(reinterpret_cast<LPCITEMIDLIST>(lParam));
  });
  return 0;
}

void TSelectFolderDialog::Initialized() {
  ItemList initial(SpecialFolder(owner_, InitialFolder));
  // wParam FALSE: lParam is an item list, not a path.
  if (initial.get()) {
    SendMessageW(browser_, BFFM_SETSELECTIONW, FALSE, reinterpret_cast<LPARAM>(initial.get()));
  }
  if (Options & bifStatusText) SetStatusText(statusText_);
  if (OnInitialized) OnInitialized(*this);
}

void TSelectFolderDialog::SelectionChanged(LPCITEMIDLIST item) {
  if (!OnSelChanged) return;
  const std::string path = win::Narrow(PathOf(item)).value_or(std::string());
  OnSelChanged(*this, path);
}

}  // namespace kb
