// TBKUPDlg: the backup target dialog "データバックアップの指定", in which the user
// chooses for one program button which data files to back up (typed, picked
// or dropped; wildcards allowed), into which folder, by which method and
// every how many launches.
//
// One instance lives from start-up to the end of the launcher and holds the
// launcher's one current backup settings in its controls: the schedule loads
// them into it at every release of a program button and saves them from it;
// the dialog only edits them.  OK and Cancel both just close it.
//
// Its file drop target (on the target list) and its folder browser are
// components the application attaches: the drop target calls
// FileDrop1FileDrop, the folder chooser runs behind the folder's "参照...".
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/backup_settings.h"
#include "win/button_controls.h"
#include "win/controls.h"
#include "win/list_box.h"
#include "win/spin_edit.h"
#include "win/dpi.h"
#include "win/window.h"

namespace kb {

class TBKUPDlg : public win::Window {
 public:
  enum ControlId : int {
    kGroupBox1 = 100, kGroupBox2, kLabel1, kLabel2, kLabel3, kLabel4, kLabel5,
    kCandidate = 200, kEdit2, kSpinEdit1,
    kButton1 = 300, kButton2, kButton3,
    kListCandidate = 400, kListFiles,
    kRadioButton1 = 500, kRadioButton2,
    kBitBtn1 = IDOK, kBitBtn2 = IDCANCEL,
  };
  static constexpr int kClientWidth = 408;
  static constexpr int kClientHeight = 354;

  // A file picked in a file dialog (full name), or nothing when the user
  // cancelled.  `filter` is written "name|pattern|...".
  using FileChooser = std::function<std::optional<std::string>(
      HWND owner, const std::string& filter, const std::string& initialFolder)>;
  // A folder chosen in the folder browser (modal to `owner`), or nothing.
  using FolderChooser = std::function<std::optional<std::string>(HWND owner)>;

  explicit TBKUPDlg(HWND owner);
  ~TBKUPDlg() override;

  // Shows the dialog modally; returns win::mrOk or win::mrCancel.
  int Execute();

  // The current backup settings, as the controls hold them.  Throws
  // win::UnrepresentableName when the folder or the interval holds a
  // character without a Shift-JIS form (see UnstorableField).
  BackupSettings Current() const;
  // Whether the target list holds any entry.
  bool HasTargets() const { return listCandidate_.Count() > 0; }
  // The message that refuses the folder or the interval field when one of
  // them holds a character without a Shift-JIS form; nullopt when both can
  // be stored.
  std::optional<std::string> UnstorableField() const;
  // Puts settings into the controls: the entry field, the list and the
  // folder are cleared first; the countdown text shows settings.Next.
  void Load(const BackupSettings& settings);
  // The target list after a save has dropped entries from it.
  void SetTargets(const std::vector<std::string>& targets);
  void ClearTargets() { listCandidate_.Clear(); }
  // Launches left until the next backup (shown only in the countdown text,
  // which is set by Load alone).
  int32_t Next = kDefaultBackupNext;

  // Where the default folder and the file dialog's folder come from: the
  // working folder being edited in the registration dialog.
  void SetWorkingFolderSource(std::function<std::string()> source) {
    workingFolder_ = std::move(source);
  }
  // The file dialog behind the entry field's "参照..." and the folder
  // browser behind the folder's (both set by the application).
  void SetFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }
  void SetFolderChooser(FolderChooser chooser) { chooseFolder_ = std::move(chooser); }

  // The target list, where dropped files go.
  HWND ListCandidate() const { return listCandidate_.hwnd(); }
  HWND Control(int id) const { return GetDlgItem(hwnd(), id); }

  // Handlers, public so tests can drive them directly.
  void FormShow();
  void Button1Click();
  void Button2Click();
  void ListCandidateClick();
  void ListCandidateKeyUp(WPARAM key);
  // Num files dropped on the target list at (x, y).
  void FileDrop1FileDrop(int num, const std::vector<std::string>& files, int x, int y);
  void Button3Click();
  // OK: refused while a field cannot be stored; otherwise closes.
  void BitBtn1Click();

  // Lays the dialog out at `dpi` (its sizes are those of 96 dpi) and centres
  // it again.
  void ApplyScale(int dpi);

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void CreateControls();
  void CreateTargetBox();
  void CreateMethodBox();
  void Centre();
  // Adds a target in its sorted place unless the list is full or the path
  // too long; returns why not.
  TargetRefusal AddTarget(const std::string& target);
  void ShowRefusal(TargetRefusal why, const std::vector<std::string>& names);
  std::string WorkingFolder() const;
  // The first of the folder and interval fields that cannot be stored.
  HWND UnstorableControl() const;

  win::Label label1_, label2_, label3_, label4_, label5_;
  win::Edit candidate_, edit2_;
  win::PushButton button1_, button2_, button3_;
  win::ListBox listCandidate_, listFiles_;
  win::RadioButton radioButton1_, radioButton2_;
  win::SpinEdit spinEdit1_;
  win::PushButton bitBtn1_, bitBtn2_;
  win::GroupBox groupBox1_, groupBox2_;
  win::ControlRouter router_;
  win::ScaledLayout layout_;
  std::function<std::string()> workingFolder_;
  FileChooser chooseFile_;
  FolderChooser chooseFolder_;
};

}  // namespace kb
