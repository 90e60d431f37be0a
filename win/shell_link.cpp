#include "win/shell_link.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "win/text.h"

namespace kb::win {

namespace {

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

std::optional<ShortcutTarget> ReadShortcut(HWND owner, const std::string& linkPath, LinkUi ui) {
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
  // Without SLR_NO_UI the shell may open its search dialog for a moved
  // target; inside a drop that would be a modal loop in WM_DROPFILES, with
  // the dropping program waiting.  With it, the search gives up after the
  // shell's default time (the timeout in the high word left at 0).
  const DWORD flags = ui == LinkUi::Never ? SLR_ANY_MATCH | SLR_NO_UI : SLR_ANY_MATCH;
  if (FAILED(link->Resolve(owner, flags))) return std::nullopt;

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
