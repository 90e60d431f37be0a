// The registration dialog: edits the record of one program slot or one group
// (file name, working folder, display name, icon file and icon, start-up
// window state, pre-launch backup) and offers deleting the registration.
//
// One instance lives from start-up to the end of the launcher and is shown
// modally.  It does not know whose record it edits: the caller fills the
// fields, shows it, and on OK reads the fields and DeleteRequested back.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "win/progress_form.h"
#include "win/controls.h"
#include "win/glyph_button.h"
#include "win/dpi.h"
#include "win/window.h"

namespace kb {

// What the dialog needs of the progress window while it reads the icons of
// a file with several: one call per icon read, then it is closed.
class IconListProgress {
 public:
  virtual ~IconListProgress() = default;
  virtual void Step(int percent) = 0;
};

// The launcher's progress window (TFProge) as the icon list's progress: shown
// when made, hidden and freed with this object.
class ProgressFormProgress : public IconListProgress {
 public:
  explicit ProgressFormProgress(HWND owner, int dpi = 96);
  ~ProgressFormProgress() override;
  void Step(int percent) override;
  const TFProge& Form() const { return form_; }

 private:
  TFProge form_;
};

class TEditWindow : public win::Window {
 public:
  enum ControlId : int {
    kBevel1 = 100, kLabel1, kLabel2, kLabel3, kLabel4, kLabel5, kLabel6,
    kEdit1 = 200, kEdit2, kEdit3, kEdit4,
    kButton1 = 300, kButton2,
    kComboBox1 = 400, kComboBox2,
    kCheckBox1 = 500,
    kBitBtn1 = IDOK, kBitBtn2 = IDCANCEL, kBitBtn3 = 600, kBitBtn4, kBitBtn7,
  };

  // A file picked in the file dialog (full name), or nothing when the user
  // cancelled.  `filter` is written "name|pattern|...".
  using FileChooser = std::function<std::optional<std::string>(
      HWND owner, const std::string& filter, const std::string& initialFolder)>;
  using ProgressFactory = std::function<std::unique_ptr<IconListProgress>()>;

  explicit TEditWindow(HWND owner);
  ~TEditWindow() override;

  // Shows the dialog modally; returns win::mrOk, mrCancel or mrUpdate.
  int Execute();

  // The fields the caller fills before showing and reads after OK.
  void SetFileName(const std::string& text) { SetText(kEdit1, text); }
  void SetWorkingDir(const std::string& text) { SetText(kEdit2, text); }
  void SetShowName(const std::string& text) { SetText(kEdit3, text); }
  void SetIconFile(const std::string& text) { SetText(kEdit4, text); }
  std::string FileName() const { return Text(kEdit1); }
  std::string WorkingDir() const { return Text(kEdit2); }
  std::string ShowName() const { return Text(kEdit3); }
  std::string IconFile() const { return Text(kEdit4); }
  void SetIconSelection(int index);
  int IconSelection() const;  // never -1: no selection reads as icon 0
  void SetExecOption(int32_t execOption);
  int32_t ExecOption() const;
  void SetBackUp(bool on);
  bool BackUp() const;

  // The icon to select when the dialog opens; the caller sets it.
  int32_t InitialIconIndex = 0;
  // The number of icons in the list after ListIcons.
  int32_t IconCount() const { return iconCount_; }
  // Set by "登録削除", cleared each time the dialog is shown.
  bool DeleteRequested() const { return deleteRequested_; }

  // Group mode hides the fields only programs use; program mode is the
  // state the dialog is in when nobody changed it.
  void SetGroupMode(bool group);

  // Seams: the file dialog, the progress window (TFProge unless replaced),
  // and the backup target
  // dialog (shown by "バックアップ対象の設定...", emptied on a confirmed deletion).
  void SetFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }
  void SetProgressFactory(ProgressFactory factory) { makeProgress_ = std::move(factory); }
  void SetBackupDialog(std::function<void()> show) { showBackupDialog_ = std::move(show); }
  void SetBackupTargetsClearer(std::function<void()> clear) { clearBackupTargets_ = std::move(clear); }
  // What OK asks of the backup settings the program button will save: the
  // message that refuses them, or nullopt when they can be stored.
  using BackupFieldsCheck = std::function<std::optional<std::string>()>;
  void SetBackupFieldsCheck(BackupFieldsCheck check) { checkBackupFields_ = std::move(check); }

  // Lays the dialog out at `dpi` (every size of the form is that of 96 dpi):
  // positions, sizes, fonts, the icon list's icons; centred again.
  void ApplyScale(int dpi);
  DpiScale Scale() const { return scale_; }

  HWND Control(int id) const { return GetDlgItem(hwnd(), id); }
  HIMAGELIST Images() const { return images_; }  // ImageList1
  // The frame grouping the fields (painted by the dialog, it has no window).
  RECT Bevel1Bounds() const { return bevel1_.Bounds(); }

  // Handlers, public so the flows and tests can drive them directly.
  void FormShow();
  void ListIcons();
  void Button1Click();
  void Button2Click();
  void BitBtn4Click();
  void BitBtn1Click();
  void BitBtn7Click();
  void ComboBox1DrawItem(const DRAWITEMSTRUCT& item);

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void CreateControls();
  void CreateLabels();
  void CreateButtons();
  void CreateGlyphButton(win::GlyphButton& button, int id, int x, int y, int w, int h,
                         const char* caption, HBITMAP glyph);
  void SetText(int id, const std::string& text);
  std::string Text(int id) const;
  void ClearIcons();
  void AddIcon(HICON icon);
  void AddOwnIcon();
  void AddShellIcon(const std::string& path);
  void BrowseInto(win::Edit& edit, const char* filter);
  void Paint();
  void Centre();
  bool FieldsRepresentable();

  int IconSize() const { return scale_(32); }

  HWND owner_;
  DpiScale scale_;
  win::ScaledLayout layout_;
  win::Bevel bevel1_;
  win::Label label1_, label2_, label3_, label4_, label5_, label6_;
  win::Edit edit1_, edit2_, edit3_, edit4_;
  win::PushButton button1_, button2_;
  win::ComboBox comboBox1_, comboBox2_;
  win::CheckBox checkBox1_;
  win::PushButton bitBtn1_, bitBtn2_, bitBtn7_;
  win::GlyphButton bitBtn3_, bitBtn4_;
  win::ControlRouter router_;
  HIMAGELIST images_ = nullptr;     // ImageList1: the icons behind ComboBox1
  HBITMAP glyphDelete_ = nullptr;   // two-state glyphs, 36 x 18
  HBITMAP glyphUpdate_ = nullptr;
  int32_t iconCount_ = 0;
  bool deleteRequested_ = false;
  int lastExecItem_ = 1;            // ComboBox2's item before the user typed
  FileChooser chooseFile_;
  ProgressFactory makeProgress_;
  std::function<void()> showBackupDialog_;
  std::function<void()> clearBackupTargets_;
  BackupFieldsCheck checkBackupFields_;
  bool groupMode_ = false;
};

// The file dialog behind both "参照..." buttons (GetOpenFileNameW).
std::optional<std::string> ChooseFileWithDialog(HWND owner, const std::string& filter,
                                                const std::string& initialFolder);

}  // namespace kb
