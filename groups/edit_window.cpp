#include "groups/edit_window.h"
#include "win/monitors.h"

#include <commdlg.h>
#include <shellapi.h>

#include <stdexcept>
#include <vector>

#include "common/system_function.h"
#include "groups/edit_glyphs.h"
#include "model/edit_rules.h"
#include "win/message_dlg.h"
#include "win/shell.h"
#include "win/text.h"
#include "win/ui_font.h"

namespace kb {
namespace {

constexpr int kWidth = 433;
constexpr int kHeight = 331;
constexpr int kIconItemHeight = 34;
constexpr UINT kFocusFirstField = WM_APP + 1;

// Help context numbers of the launcher's help file.
constexpr DWORD kHelpDialog = 11;
constexpr DWORD kHelpBackup = 25;
constexpr DWORD kHelpDelete = 36;

constexpr char kProgramCaption[] = "プログラムの登録";
constexpr char kGroupCaption[] = "グループの登録";
constexpr char kProgramFilter[] =
    "実行ﾌｧｲﾙ (*.EXE)|*.exe|ｼｮｰﾄｶｯﾄ(*.lnk)|*.lnk|ｽｸﾘｰﾝｾｰﾊﾞｰ(*.SCR)|*.scr|すべてのﾌｧｲﾙ (*.*)|*.*";
constexpr char kIconFilter[] =
    "ｱｲｺﾝﾌｧｲﾙ(*.ico)|*.ico|ﾗﾝﾀｲﾑﾗｲﾌﾞﾗﾘ(*.DLL)|*.dll|実行ﾌｧｲﾙ (*.EXE)|*.exe|すべてのﾌｧｲﾙ (*.*)|*.*";

}  // namespace

ProgressFormProgress::ProgressFormProgress(HWND owner, int dpi) {
  form_.Create(owner, dpi);
  form_.Show();
}

ProgressFormProgress::~ProgressFormProgress() {
  if (form_.hwnd()) ShowWindow(form_.hwnd(), SW_HIDE);
}

void ProgressFormProgress::Step(int percent) { form_.SetProgress(percent); }

TEditWindow::TEditWindow(HWND owner)
    : owner_(owner),
      chooseFile_(&ChooseFileWithDialog),
      makeProgress_([this] {
        return std::make_unique<ProgressFormProgress>(hwnd(), scale_.Dpi());
      }) {
  if (!Create(L"TEditWindow", WS_EX_DLGMODALFRAME,
              WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, 0, 0, kWidth, kHeight,
              owner)) {
    throw std::runtime_error("TEditWindow: CreateWindowEx failed");
  }
  SetWindowTextW(hwnd(), win::Widen(kProgramCaption).c_str());
  SetWindowContextHelpId(hwnd(), kHelpDialog);
  win::ApplyUiFont(hwnd());
  // 24-bit: a 32-bit list would read the glyph's unused alpha bytes as
  // transparency and draw the button face as nothing.
  images_ = ImageList_Create(32, 32, ILC_COLOR24, 4, 4);
  glyphDelete_ = CreateDeleteGlyph();
  glyphUpdate_ = CreateUpdateGlyph();
  CreateControls();
  Centre();
}

TEditWindow::~TEditWindow() {
  // The children go first, while the glyphs they show still exist.
  Destroy();
  if (images_) ImageList_Destroy(images_);
  if (glyphDelete_) DeleteObject(glyphDelete_);
  if (glyphUpdate_) DeleteObject(glyphUpdate_);
}

void TEditWindow::CreateControls() {
  HWND self = hwnd();
  using Kind = win::ComboBox::Kind;
  // Created in tab order: the dialog keys move through WS_TABSTOP children
  // in the order they were made.
  edit1_.Create(self, kEdit1, 120, 24, 233, 20);
  button1_.Create(self, kButton1, 360, 24, 51, 25, "参照...");
  edit2_.Create(self, kEdit2, 120, 56, 233, 20);
  comboBox1_.Create(self, kComboBox1, Kind::OwnerDrawnList, 120, 152, 57, kIconItemHeight * 6,
                    kIconItemHeight);
  button2_.Create(self, kButton2, 360, 120, 51, 25, "参照...");
  comboBox2_.Create(self, kComboBox2, Kind::DropDownEditable, 120, 200, 129, 120);
  for (const char* item : kExecOptionItems) comboBox2_.Add(item);
  SetExecOption(1);
  edit3_.Create(self, kEdit3, 120, 88, 145, 20);
  CreateButtons();
  CreateLabels();
  bevel1_.SetBounds(8, 8, 409, 257);
}

void TEditWindow::CreateButtons() {
  HWND self = hwnd();
  bitBtn1_.Create(self, kBitBtn1, 168, 272, 75, 25, "OK", true);
  bitBtn2_.Create(self, kBitBtn2, 256, 272, 75, 25, "ｷｬﾝｾﾙ");
  CreateGlyphButton(bitBtn3_, kBitBtn3, 344, 272, 75, 25, "更新(&A)", glyphUpdate_);
  edit4_.Create(self, kEdit4, 120, 120, 233, 20);
  CreateGlyphButton(bitBtn4_, kBitBtn4, 320, 160, 81, 57, "登録削除", glyphDelete_);
  checkBox1_.Create(self, kCheckBox1, 24, 232, 177, 17, "起動前バックアップを使用する");
  bitBtn7_.Create(self, kBitBtn7, 240, 228, 161, 25, "バックアップ対象の設定...");
  SetWindowContextHelpId(checkBox1_.hwnd(), kHelpBackup);
  SetWindowContextHelpId(bitBtn7_.hwnd(), kHelpBackup);
  SetWindowContextHelpId(bitBtn4_.hwnd(), kHelpDelete);

  router_.OnNotify(kButton1, BN_CLICKED, [this] { Button1Click(); });
  router_.OnNotify(kButton2, BN_CLICKED, [this] { Button2Click(); });
  router_.OnNotify(kBitBtn4, BN_CLICKED, [this] { BitBtn4Click(); });
  router_.OnNotify(kBitBtn7, BN_CLICKED, [this] { BitBtn7Click(); });
  router_.OnNotify(kBitBtn1, BN_CLICKED, [this] { BitBtn1Click(); });
  router_.OnNotify(kBitBtn2, BN_CLICKED, [this] { if (InModal()) EndModal(win::mrCancel); });
  router_.OnNotify(kBitBtn3, BN_CLICKED, [this] { if (InModal()) EndModal(win::mrUpdate); });
  router_.OnNotify(kComboBox2, CBN_SELCHANGE, [this] {
    if (comboBox2_.SelectedIndex() >= 0) lastExecItem_ = comboBox2_.SelectedIndex();
  });
  router_.OnDrawItem(kComboBox1, [this](const DRAWITEMSTRUCT& item) { ComboBox1DrawItem(item); });
}

void TEditWindow::CreateGlyphButton(win::GlyphButton& button, int id, int x, int y, int w, int h,
                                    const char* caption, HBITMAP glyph) {
  button.Create(hwnd(), x, y, w, h, id);
  button.SetCaption(caption);
  button.SetGlyph(glyph, 2);
}

void TEditWindow::CreateLabels() {
  struct LabelPlace { win::Label* label; int id, x, y; const char* text; };
  const LabelPlace places[] = {
      {&label1_, kLabel1, 24, 28, "ファイル名"},   {&label2_, kLabel2, 24, 60, "作業ﾌｫﾙﾀﾞ"},
      {&label3_, kLabel3, 24, 92, "表示名"},       {&label4_, kLabel4, 24, 124, "ｱｲｺﾝﾌｧｲﾙの指定"},
      {&label5_, kLabel5, 24, 166, "アイコン"},    {&label6_, kLabel6, 24, 204, "実行時ｵﾌﾟｼｮﾝ"},
  };
  for (const LabelPlace& s : places) {
    s.label->Create(hwnd(), s.x, s.y, 0, 0, s.text, false, s.id);  // sized to its text
  }
}

int TEditWindow::Execute() {
  // One showing at a time: a second caller would run a loop inside the
  // first one's and edit two records with the same fields.
  if (InModal()) return win::mrNone;
  Centre();
  FormShow();
  // ShowModal disables the bar and the group window while the dialog is up:
  // a click there would switch the group window to another group under the
  // record being edited, and the record would land in the wrong slot.
  // Above the stay-on-top bar and group window, which would otherwise cover
  // part of it; back among normal windows when it closes.
  constexpr UINT kZOrderOnly = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
  SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, kZOrderOnly);
  PostMessageW(hwnd(), kFocusFirstField, 0, 0);
  const int result = ShowModal();
  if (hwnd()) SetWindowPos(hwnd(), HWND_NOTOPMOST, 0, 0, 0, 0, kZOrderOnly);
  return result;
}

void TEditWindow::ApplyScale(int dpi) {
  if (!layout_.Captured()) layout_.Capture(hwnd());
  const DpiScale s(dpi);
  if (s == scale_) return;
  scale_ = s;
  layout_.Apply(s);
  bevel1_.SetBounds(s(8), s(8), s(409), s(257));
  // The icon list holds icons of the scaled size; ListIcons fills it anew at
  // every showing.
  ClearIcons();
  if (images_) ImageList_Destroy(images_);
  images_ = ImageList_Create(IconSize(), IconSize(), ILC_COLOR24, 4, 4);
  // The buttons' pictures drawn anew at the scale.
  HBITMAP oldDelete = glyphDelete_, oldUpdate = glyphUpdate_;
  glyphDelete_ = CreateDeleteGlyph(dpi);
  glyphUpdate_ = CreateUpdateGlyph(dpi);
  bitBtn4_.SetGlyph(glyphDelete_, 2);
  bitBtn3_.SetGlyph(glyphUpdate_, 2);
  if (oldDelete) DeleteObject(oldDelete);
  if (oldUpdate) DeleteObject(oldUpdate);
  SendMessageW(comboBox1_.hwnd(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), s(kIconItemHeight));
  SendMessageW(comboBox1_.hwnd(), CB_SETITEMHEIGHT, 0, s(kIconItemHeight));
  Centre();
}

void TEditWindow::Centre() {
  // On the bar's monitor (the owner's), inside its work area.
  win::CentreOnOwnerMonitor(hwnd(), GetWindow(hwnd(), GW_OWNER));
}

void TEditWindow::SetText(int id, const std::string& text) {
  SetWindowTextW(Control(id), win::Widen(text).c_str());
}

std::string TEditWindow::Text(int id) const {
  HWND control = Control(id);
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return win::NarrowOrThrow(text);
}

void TEditWindow::SetIconSelection(int index) {
  comboBox1_.SetSelectedIndex(IconItemToSelect(index, comboBox1_.Count()));
}

int TEditWindow::IconSelection() const {
  const int selected = comboBox1_.SelectedIndex();
  return selected < 0 ? 0 : selected;
}

void TEditWindow::SetExecOption(int32_t execOption) {
  lastExecItem_ = ExecOptionItem(execOption);
  comboBox2_.SetSelectedIndex(lastExecItem_);
}

int32_t TEditWindow::ExecOption() const {
  int selected = comboBox2_.SelectedIndex();
  const std::string text = comboBox2_.Text();
  // The list keeps its selection while the user types over the edit part;
  // a text that is not the selected item's is a typed one.
  if (selected >= 0 && text != comboBox2_.Item(selected)) selected = -1;
  return ExecOptionFromChoice(selected, text, lastExecItem_);
}

void TEditWindow::SetBackUp(bool on) { checkBox1_.SetChecked(on); }
bool TEditWindow::BackUp() const { return checkBox1_.Checked(); }

void TEditWindow::SetGroupMode(bool group) {
  groupMode_ = group;
  SetWindowTextW(hwnd(), win::Widen(group ? kGroupCaption : kProgramCaption).c_str());
  win::Control* programOnly[] = {&label1_, &label2_, &edit1_, &edit2_, &button1_,
                                 &label6_, &comboBox2_, &checkBox1_, &bitBtn7_};
  for (win::Control* control : programOnly) control->SetVisible(!group);
}

void TEditWindow::FormShow() {
  ListIcons();
  SetIconSelection(InitialIconIndex);
  deleteRequested_ = false;
}

void TEditWindow::ClearIcons() {
  ImageList_RemoveAll(images_);
  comboBox1_.Clear();
}

void TEditWindow::AddIcon(HICON icon) {
  HBITMAP work = win::CreateBlankGlyph(nullptr, IconSize());
  if (icon) win::DrawIconGlyph(work, icon, IconSize());
  ImageList_Add(images_, work, nullptr);
  DeleteObject(work);
  comboBox1_.Add("");
}

void TEditWindow::AddOwnIcon() {
  // Icon resource 1 of the running program; a program without one (a test)
  // shows the system's application icon.  Both are shared: never destroyed.
  HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
  if (!icon) icon = LoadIconW(nullptr, IDI_APPLICATION);
  AddIcon(icon);
}

void TEditWindow::AddShellIcon(const std::string& path) {
  SHFILEINFOW info{};
  // The result decides: on failure the icon field may hold a stale handle.
  if (SHGetFileInfoW(win::Widen(path).c_str(), 0, &info, sizeof info, SHGFI_ICON) && info.hIcon) {
    AddIcon(info.hIcon);
    DestroyIcon(info.hIcon);
  } else {
    AddIcon(nullptr);
  }
}

void TEditWindow::ListIcons() {
  ClearIcons();
  const std::string iconFile = IconFile();
  const std::string source = iconFile.empty() ? FileName() : iconFile;
  if (source.empty()) {
    AddOwnIcon();
    iconCount_ = 1;
    return;
  }
  const int count = win::IconCount(source);
  if (count <= 0) {
    AddShellIcon(source);
    iconCount_ = 1;
    return;
  }
  iconCount_ = count;
  std::unique_ptr<IconListProgress> progress = makeProgress_ ? makeProgress_() : nullptr;
  for (int k = 1; k <= count; ++k) {
    // At another scale than 96 dpi the file's own image of the list's size.
    HICON icon = scale_.IsBase() ? win::ExtractIconFrom(source, k - 1)
                                 : win::ExtractIconSized(source, k - 1, IconSize());
    AddIcon(icon);
    if (icon) DestroyIcon(icon);
    if (progress) progress->Step(IconListPercent(k, count));
  }
}

void TEditWindow::BrowseInto(win::Edit& edit, const char* filter) {
  const std::string current = edit.Text();
  const std::optional<std::string> picked = chooseFile_(hwnd(), filter, InitialFolder(current));
  if (!picked || *picked == current) return;
  edit.SetText(*picked);
  ListIcons();
  SetIconSelection(0);
}

void TEditWindow::Button1Click() { BrowseInto(edit1_, kProgramFilter); }
void TEditWindow::Button2Click() { BrowseInto(edit4_, kIconFilter); }

void TEditWindow::BitBtn4Click() {
  for (win::Edit* edit : {&edit1_, &edit2_, &edit3_, &edit4_}) edit->SetText("");
  SetExecOption(1);
  ClearIcons();
  AddOwnIcon();
  iconCount_ = 1;
  comboBox1_.SetSelectedIndex(0);
  deleteRequested_ = true;
}

void TEditWindow::BitBtn1Click() {
  if (!FieldsRepresentable()) return;
  // An empty target list makes the program button's following save erase
  // the slot's backup section.
  if (deleteRequested_ && clearBackupTargets_) clearBackupTargets_();
  if (InModal()) EndModal(win::mrOk);
}

bool TEditWindow::FieldsRepresentable() {
  // The record holds Shift-JIS: a typed or pasted character without a
  // Shift-JIS form is refused here, while the user can still correct it,
  // rather than stored mangled or half-taken by the caller.
  for (win::Edit* edit : {&edit1_, &edit2_, &edit3_, &edit4_}) {
    try {
      edit->Text();
    } catch (const win::UnrepresentableName& e) {
      win::MessageDlg(hwnd(), e.what(), win::MsgKind::Error, win::MsgButtons::Ok);
      edit->Focus();
      return false;
    }
  }
  // The program button saves the backup settings right after OK; a group
  // has none, and a deleted registration erases them whatever they hold.
  if (!groupMode_ && !deleteRequested_ && checkBackupFields_) {
    if (const std::optional<std::string> why = checkBackupFields_()) {
      win::MessageDlg(hwnd(), *why, win::MsgKind::Error, win::MsgButtons::Ok);
      return false;
    }
  }
  return true;
}

void TEditWindow::BitBtn7Click() {
  if (showBackupDialog_) showBackupDialog_();
}

void TEditWindow::ComboBox1DrawItem(const DRAWITEMSTRUCT& item) {
  RECT r = item.rcItem;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  FillRect(item.hDC, &r, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  if (item.itemID == static_cast<UINT>(-1)) return;
  ImageList_Draw(images_, static_cast<int>(item.itemID), item.hDC, r.left, r.top + scale_(2),
                 ILD_NORMAL);
  if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &r);
}

void TEditWindow::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd(), &ps);
  bevel1_.Paint(dc);
  EndPaint(hwnd(), &ps);
}

LRESULT TEditWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND:
    case WM_DRAWITEM:
      if (router_.Dispatch(msg, wParam, lParam)) return msg == WM_DRAWITEM ? TRUE : 0;
      break;
    case WM_MEASUREITEM: {
      auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (measure->CtlID != static_cast<UINT>(kComboBox1)) break;
      measure->itemHeight = static_cast<UINT>(scale_(kIconItemHeight));
      return TRUE;
    }
    case WM_PAINT:
      Paint();
      return 0;
    case WM_CLOSE:
      if (InModal()) EndModal(win::mrCancel);
      else ShowWindow(hwnd(), SW_HIDE);
      return 0;
    case kFocusFirstField:
      if (HWND first = GetNextDlgTabItem(hwnd(), nullptr, FALSE)) SetFocus(first);
      return 0;
  }
  return DefaultHandling(msg, wParam, lParam);
}

std::optional<std::string> ChooseFileWithDialog(HWND owner, const std::string& filter,
                                                const std::string& initialFolder) {
  std::wstring wideFilter;
  for (const std::string& part : SplitFilter(filter)) {
    wideFilter += win::Widen(part);
    wideFilter += L'\0';
  }
  wideFilter += L'\0';
  const std::wstring folder = win::Widen(initialFolder);
  std::vector<wchar_t> name(4096, L'\0');
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = wideFilter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = name.data();
  ofn.nMaxFile = static_cast<DWORD>(name.size());
  ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  // The launcher finds its files from its own folder, never the current one,
  // but the dialog must still not move the current folder under it.
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
  // The common dialogs' library costs the launcher's start-up more than any
  // other it uses, and only this button needs it: it is loaded on first use.
  // From the system folder by its full path, not through the search path.
  static const auto getOpenFileName =
      SystemFunction<BOOL WINAPI(LPOPENFILENAMEW)>(L"comdlg32.dll", "GetOpenFileNameW");
  if (!getOpenFileName) throw std::runtime_error("ファイルを選ぶダイアログを開けません");
  if (!getOpenFileName(&ofn)) return std::nullopt;
  return win::NarrowOrThrow(name.data());
}

}  // namespace kb
