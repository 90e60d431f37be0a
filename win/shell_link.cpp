#include "win/shell_link.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "win/text.h"

namespace kb::win {

namespace {

// Keeps COM initialised on this thread for the duration of one call; the
// launcher's thread may or may not have done so already.
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

template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() {
    if (p_) p_->Release();
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  T** Out() { return &p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

// The texts end at their first NUL character.
std::string BufferText(const wchar_t* buffer) { return NarrowOrThrow(std::wstring(buffer)); }

}  // namespace

std::optional<ShortcutTarget> ReadShortcut(HWND owner, const std::string& linkPath) {
  ComScope com;
  ComPtr<IShellLinkW> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(link.Out())))) {
    return std::nullopt;
  }
  ComPtr<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Out())))) {
    return std::nullopt;
  }
  if (FAILED(file->Load(Widen(linkPath).c_str(), STGM_READ))) return std::nullopt;
  if (FAILED(link->Resolve(owner, SLR_ANY_MATCH))) return std::nullopt;

  ShortcutTarget target;
  wchar_t buffer[MAX_PATH + 1] = {};
  link->GetPath(buffer, MAX_PATH, nullptr, SLGP_UNCPRIORITY);
  target.path = BufferText(buffer);
  int show = SW_SHOWNORMAL;
  link->GetShowCmd(&show);
  target.showCmd = show;
  buffer[0] = L'\0';
  target.workingDirRead = SUCCEEDED(link->GetWorkingDirectory(buffer, MAX_PATH));
  target.workingDir = BufferText(buffer);
  return target;
}

}  // namespace kb::win
