#include "backup/bkup_dlg.h"
#include "win/monitors.h"

#include <stdexcept>

#include "win/message_dlg.h"
#include "win/window.h"
#include "win/text.h"
#include "win/ui_font.h"

namespace kb {

namespace {

constexpr UINT kFocusFirstField = WM_APP + 1;
constexpr DWORD kHelpContext = 25;
constexpr char kCaption[] = "データバックアップの指定";
constexpr char kFilter[] = "すべてのﾌｧｲﾙ (*.*)|*.*";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST;

// The two group boxes; the positions of their controls are relative to them.
constexpr POINT kBox1{0, 8};
constexpr POINT kBox2{0, 192};

// The folder and the interval are stored as Shift-JIS.
constexpr char kFolderUnstorable[] = "保存フォルダ";
constexpr char kTimesUnstorable[] = "バックアップの間隔";
constexpr char kUnstorableTail[] =
    "にはシフトJISで表せない文字が含まれているため、バックアップの指定を保存できません";

// The control's text when Shift-JIS can hold it; otherwise nullopt, and
// `shown` gets the text with '?' for each character it cannot.
std::optional<std::string> StorableText(HWND control, std::string* shown) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  if (std::optional<std::string> sjis = win::Narrow(text)) return sjis;
  shown->clear();
  for (wchar_t c : text) {
    const wchar_t one[1] = {c};
    if (std::optional<std::string> s = win::Narrow(std::wstring_view(one, 1))) {
      *shown += *s;
    } else {
      *shown += '?';
    }
  }
  return std::nullopt;
}

constexpr char kListFull[] = "バックアップ対象は255個までです。これ以上は追加できません。";
constexpr char kTooLong[] =
    "次の名前は長すぎるため、バックアップ対象にできません（255バイトまで）。";

}  // namespace

TBKUPDlg::TBKUPDlg(HWND owner) {
  RECT frame{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
  if (!Create(L"TBKUPDlg", kExStyle, kStyle, 0, 0, frame.right - frame.left,
              frame.bottom - frame.top, owner)) {
    throw std::runtime_error("TBKUPDlg: CreateWindowEx failed");
  }
  SetWindowTextW(hwnd(), win::Widen(kCaption).c_str());
  SetWindowContextHelpId(hwnd(), kHelpContext);
  win::ApplyUiFont(hwnd());
  CreateControls();
  Centre();
}

TBKUPDlg::~TBKUPDlg() { Destroy(); }

void TBKUPDlg::CreateControls() {
  // Created in tab order: the entry field, its "参照...", the list, "追加";
  // then the folder, the two methods, the interval and the folder's
  // "参照..."; then OK and Cancel.  Labels and frames come after the fields
  // they sit beside, so they lie below them and never paint over them.
  CreateTargetBox();
  CreateMethodBox();
  bitBtn1_.Create(hwnd(), kBitBtn1, 104, 328, 75, 25, "OK", true);
  bitBtn2_.Create(hwnd(), kBitBtn2, 232, 328, 75, 25, "ｷｬﾝｾﾙ");
  groupBox1_.Create(hwnd(), kGroupBox1, kBox1.x, kBox1.y, 408, 177, "データバックアップ対象ファイル");
  groupBox2_.Create(hwnd(), kGroupBox2, kBox2.x, kBox2.y, 408, 129, "バックアップの方法");

  for (HWND input : {candidate_.hwnd(), button1_.hwnd(), listCandidate_.hwnd(), button2_.hwnd(),
                     edit2_.hwnd(), radioButton1_.hwnd(), radioButton2_.hwnd(),
                     spinEdit1_.hwnd(), button3_.hwnd()}) {
    SetWindowContextHelpId(input, kHelpContext);
  }
  router_.OnNotify(kButton1, BN_CLICKED, [this] { Button1Click(); });
  router_.OnNotify(kButton2, BN_CLICKED, [this] { Button2Click(); });
  router_.OnNotify(kButton3, BN_CLICKED, [this] { Button3Click(); });
  router_.OnNotify(kListCandidate, LBN_SELCHANGE, [this] { ListCandidateClick(); });
  router_.OnNotify(kBitBtn1, BN_CLICKED, [this] { BitBtn1Click(); });
  router_.OnNotify(kBitBtn2, BN_CLICKED, [this] { EndModal(win::mrCancel); });
  listCandidate_.SetOnKeyUp([this](WPARAM key) { ListCandidateKeyUp(key); });
}

void TBKUPDlg::CreateTargetBox() {
  const HWND self = hwnd();
  const int x = kBox1.x, y = kBox1.y;
  candidate_.Create(self, kCandidate, x + 16, y + 32, 281, 20);
  button1_.Create(self, kButton1, x + 304, y + 30, 46, 25, "参照...");
  listCandidate_.Create(self, kListCandidate, x + 16, y + 72, 377, 97);
  listCandidate_.SetItemHeight(12);
  button2_.Create(self, kButton2, x + 352, y + 30, 46, 25, "追加");
  listFiles_.Create(self, kListFiles, x + 152, y + 72, 121, 97, false);
  label1_.Create(self, x + 8, y + 16, 0, 0, "対象ﾌｧｲﾙの入力（ﾜｲﾙﾄﾞｶｰﾄﾞが使用できます）", false, kLabel1);
  label2_.Create(self, x + 8, y + 56, 0, 0, "対象候補リスト", false, kLabel2);
}

void TBKUPDlg::CreateMethodBox() {
  const HWND self = hwnd();
  const int x = kBox2.x, y = kBox2.y;
  edit2_.Create(self, kEdit2, x + 16, y + 28, 329, 20);
  radioButton1_.Create(self, kRadioButton1, x + 16, y + 48, 137, 17, "指定フォルダにコピーして保存", true);
  radioButton2_.Create(self, kRadioButton2, x + 16, y + 64, 185, 17, "指定フォルダにLZH圧縮して保存",
                       false);
  radioButton1_.SetChecked(true);
  spinEdit1_.Create(self, kSpinEdit1, x + 120, y + 84, 41, 21, kMinBackupTimes, kMaxBackupTimes);
  spinEdit1_.SetValue(10);
  button3_.Create(self, kButton3, x + 354, y + 25, 46, 25, "参照...");
  label3_.Create(self, x + 16, y + 16, 0, 0, "保存フォルダ", false, kLabel3);
  // The run of spaces leaves room for the interval field, which lies above
  // the label; the label is clipped where the field is.
  label4_.Create(self, x + 16, y + 88, 0, 0, "バックアップは起動　　　　　　ごとに実行する", false,
                 kLabel4);
  SetWindowLongPtrW(label4_.hwnd(), GWL_STYLE,
                    GetWindowLongPtrW(label4_.hwnd(), GWL_STYLE) | WS_CLIPSIBLINGS);
  label5_.Create(self, x + 16, y + 108, 384, 14, CountdownText(Next), false, kLabel5);
}

int TBKUPDlg::Execute() {
  // One showing at a time: a second would run inside the first one's loop.
  if (InModal()) return win::mrNone;
  HWND caller = GetActiveWindow();
  Centre();
  FormShow();
  // ShowModal disables every other window of the launcher meanwhile.
  PostMessageW(hwnd(), kFocusFirstField, 0, 0);
  const int result = ShowModal();
  // Back to the registration dialog it was opened from, not to the owner.
  if (caller && caller != hwnd() && IsWindow(caller)) SetForegroundWindow(caller);
  return result;
}

void TBKUPDlg::ApplyScale(int dpi) {
  if (!layout_.Captured()) layout_.Capture(hwnd());
  const DpiScale s(dpi);
  if (s == layout_.Scale()) return;
  layout_.Apply(s);
  listCandidate_.SetItemHeight(s(12));
  Centre();
}

void TBKUPDlg::Centre() {
  // On the bar's monitor (the owner's), inside its work area.
  win::CentreOnOwnerMonitor(hwnd(), GetWindow(hwnd(), GW_OWNER));
}

BackupSettings TBKUPDlg::Current() const {
  BackupSettings s;
  s.targets = listCandidate_.Items();
  s.Folder = edit2_.Text();
  s.Way = radioButton2_.Checked() ? BackupWay::Archive : BackupWay::Copy;
  s.Times = spinEdit1_.Value();
  s.Next = Next;
  return s;
}

HWND TBKUPDlg::UnstorableControl() const {
  std::string shown;
  for (HWND control : {edit2_.hwnd(), spinEdit1_.hwnd()}) {
    if (!StorableText(control, &shown)) return control;
  }
  return nullptr;
}

std::optional<std::string> TBKUPDlg::UnstorableField() const {
  std::string shown;
  if (!StorableText(edit2_.hwnd(), &shown)) {
    return std::string(kFolderUnstorable) + "「" + shown + "」" + kUnstorableTail;
  }
  if (!StorableText(spinEdit1_.hwnd(), &shown)) {
    return std::string(kTimesUnstorable) + "「" + shown + "」" + kUnstorableTail;
  }
  return std::nullopt;
}

void TBKUPDlg::BitBtn1Click() {
  // Refused while the user can still correct it: the registration dialog's
  // OK would otherwise find the settings it has to save unreadable.
  if (const std::optional<std::string> why = UnstorableField()) {
    win::MessageDlg(hwnd(), *why, win::MsgKind::Error, win::MsgButtons::Ok);
    if (HWND control = UnstorableControl()) SetFocus(control);
    return;
  }
  if (InModal()) EndModal(win::mrOk);
}

void TBKUPDlg::Load(const BackupSettings& settings) {
  candidate_.SetText("");
  listCandidate_.Clear();
  edit2_.SetText("");
  edit2_.SetText(settings.Folder);
  spinEdit1_.SetValue(settings.Times);
  Next = settings.Next;
  std::vector<std::string> shown;
  for (const std::string& target : settings.targets) {
    listCandidate_.Insert(static_cast<int>(InsertTarget(shown, target)), target);
  }
  radioButton2_.SetChecked(settings.Way == BackupWay::Archive);
  radioButton1_.SetChecked(settings.Way == BackupWay::Copy);
  label5_.SetText(CountdownText(Next));
}

void TBKUPDlg::SetTargets(const std::vector<std::string>& targets) {
  listCandidate_.Clear();
  for (const std::string& target : targets) listCandidate_.Insert(-1, target);
}

std::string TBKUPDlg::WorkingFolder() const { return workingFolder_ ? workingFolder_() : std::string(); }

TargetRefusal TBKUPDlg::AddTarget(const std::string& target) {
  std::vector<std::string> items = listCandidate_.Items();
  const TargetRefusal why = CheckNewTarget(items.size(), target);
  if (why == TargetRefusal::None) {
    listCandidate_.Insert(static_cast<int>(SortedInsertIndex(items, target)), target);
  }
  return why;
}

void TBKUPDlg::ShowRefusal(TargetRefusal why, const std::vector<std::string>& names) {
  std::string text = why == TargetRefusal::ListFull ? kListFull : kTooLong;
  if (why == TargetRefusal::PathTooLong) {
    for (const std::string& name : names) text += "\r" + name;
  }
  win::MessageDlg(hwnd(), text, win::MsgKind::Warning, win::MsgButtons::Ok);
}

void TBKUPDlg::FormShow() {
  if (listCandidate_.Count() == 0) edit2_.SetText(WorkingFolder());
}

void TBKUPDlg::Button1Click() {
  if (!chooseFile_) return;
  if (std::optional<std::string> picked = chooseFile_(hwnd(), kFilter, WorkingFolder())) {
    candidate_.SetText(*picked);
  }
}

void TBKUPDlg::Button2Click() {
  const std::string text = candidate_.Text();
  if (text.empty()) return;
  if (const TargetRefusal why = AddTarget(text); why != TargetRefusal::None) {
    ShowRefusal(why, {text});
  }
}

void TBKUPDlg::ListCandidateClick() {
  const int selected = listCandidate_.SelectedIndex();
  if (selected >= 0) candidate_.SetText(listCandidate_.Item(selected));
}

void TBKUPDlg::ListCandidateKeyUp(WPARAM key) {
  const int selected = listCandidate_.SelectedIndex();
  if (key == VK_DELETE && selected >= 0) listCandidate_.Delete(selected);
}

void TBKUPDlg::FileDrop1FileDrop(int num, const std::vector<std::string>& files, int, int) {
  std::vector<std::string> tooLong;
  bool full = false;
  for (int i = 0; i < num && i < static_cast<int>(files.size()) && !full; ++i) {
    switch (AddTarget(files[static_cast<size_t>(i)])) {
      case TargetRefusal::None: break;
      case TargetRefusal::PathTooLong: tooLong.push_back(files[static_cast<size_t>(i)]); break;
      case TargetRefusal::ListFull: full = true; break;
    }
  }
  if (!tooLong.empty()) ShowRefusal(TargetRefusal::PathTooLong, tooLong);
  if (full) ShowRefusal(TargetRefusal::ListFull, {});
}

void TBKUPDlg::Button3Click() {
  if (!chooseFolder_) return;
  // The browser is modal to this dialog, so the dialog cannot close under it.
  if (std::optional<std::string> folder = chooseFolder_(hwnd())) edit2_.SetText(*folder);
}

LRESULT TBKUPDlg::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (router_.Dispatch(msg, wParam, lParam)) return 0;
  switch (msg) {
    case WM_CLOSE:
      if (InModal()) EndModal(win::mrCancel);
      else ShowWindow(hwnd(), SW_HIDE);
      return 0;
    case kFocusFirstField:
      candidate_.Focus();
      return 0;
  }
  return DefaultHandling(msg, wParam, lParam);
}

}  // namespace kb
