// The right-click flows around the registration dialog, in-process under
// Wine: the dialog is answered through its controls, the group deletion's
// question through its buttons, and the settings file is checked on disk.
#include "groups/registration_flow.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "common/profile.h"
#include "groups/edit_window.h"
#include "model/entry_table.h"
#include "groups/tests/dialog_steps.h"
#include "model/settings.h"
#include "common/module_folder.h"
#include "win/testing/testing.h"
#include "win/text.h"

namespace kb {
namespace {

using test::Click;
using test::RunLater;

std::string ReadFile(const std::string& path) {
  std::ifstream in(std::filesystem::path(win::Widen(path)), std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

bool HasSection(const std::string& path, const std::string& section) {
  return ProfileReader(path).SectionExists(section);
}

// A settings file with groups 2 and 3 and their first slots.
class SettingsFile {
 public:
  SettingsFile() : path_(kb::ModuleFolder().value() + "registration_flow_test.ini") {
    std::ofstream out(std::filesystem::path(win::Widen(path_)), std::ios::binary);
    out << "[Button2]\r\nShowName=two\r\nIconFile=C:\\two.exe\r\n"
        << "[Button3]\r\nShowName=three\r\nIconFile=C:\\three.exe\r\n";
    for (int g : {2, 3}) {
      for (int s = 1; s <= 3; ++s) {
        out << "[" << SlotSectionName(g, s) << "]\r\nFPFileName=C:\\p" << g << s << ".exe\r\n";
      }
    }
  }
  ~SettingsFile() { DeleteFileW(win::Widen(path_).c_str()); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

class FakeSlot : public ProgramSlotEditor {
 public:
  FakeSlot(EntryTable& entries, std::string settingsPath, int group, int slot)
      : entries_(entries), settingsPath_(std::move(settingsPath)), group_(group), slot_(slot) {}
  TLaunchData& Record() override { return record; }
  void SaveBackupSettings() override { calls.push_back("backup"); }
  void BlankGlyph() override { calls.push_back("blank"); }
  void SetIconGlyph(HICON icon) override { calls.push_back(icon ? "icon" : "no icon"); }
  void SetHint(const std::string& text) override { hint = text; calls.push_back("hint"); }
  void StoreEntry() override {
    entries_.At(group_, slot_) = record;
    calls.push_back("store");
  }
  void EraseEntry() override {
    EraseProfileSection(settingsPath_, SlotSectionName(group_, slot_));
    calls.push_back("erase");
  }

  TLaunchData record;
  std::string hint = "untouched";
  std::vector<std::string> calls;

 private:
  EntryTable& entries_;
  std::string settingsPath_;
  int group_, slot_;
};

int RunWith(TEditWindow& dialog, const std::function<int()>& flow, test::Step step) {
  RunLater(std::move(step));
  test::ModalTimeout timeout([&] { dialog.EndModal(win::mrNone); });
  return flow();
}

TEST(ProgramRegistrationTest, EmptySlotOpensEmptyAndCancelChangesNothing) {
  TEditWindow dialog(nullptr);
  EntryTable entries;
  FakeSlot slot(entries, "unused", 1, 1);
  std::string start;
  const int result = RunWith(dialog, [&] { return EditProgramSlot(dialog, slot); }, [&] {
    EXPECT_EQ(dialog.FileName(), "");
    EXPECT_EQ(dialog.IconCount(), 1);
    start = win::testing::ReadWindowText(dialog.Control(TEditWindow::kComboBox2));
    Click(dialog.Control(TEditWindow::kBitBtn2));
  });
  EXPECT_EQ(result, win::mrCancel);
  EXPECT_EQ(start, "通常の大きさで起動");
  EXPECT_TRUE(slot.calls.empty());
  EXPECT_EQ(slot.record, TLaunchData{});
}

TEST(ProgramRegistrationTest, OkTakesTheFieldsBackAndRebuildsIconHintAndTable) {
  TEditWindow dialog(nullptr);
  EntryTable entries;
  FakeSlot slot(entries, "unused", 4, 7);
  const std::string program = kb::ModuleFolder().value() + "three_icons.exe";
  slot.record = {program, kb::ModuleFolder().value(), "three", "", 2, 3, true};
  int selectionShown = -1;
  const int result = RunWith(dialog, [&] { return EditProgramSlot(dialog, slot); }, [&] {
    EXPECT_EQ(dialog.FileName(), program);
    EXPECT_EQ(dialog.WorkingDir(), kb::ModuleFolder().value());
    EXPECT_TRUE(dialog.BackUp());
    selectionShown = dialog.IconSelection();
    SetWindowTextW(dialog.Control(TEditWindow::kEdit3), L"renamed");
    SendMessageW(dialog.Control(TEditWindow::kComboBox2), CB_SETCURSEL, 4, 0);
    Click(dialog.Control(TEditWindow::kBitBtn1));
  });
  ASSERT_EQ(result, win::mrOk);
  EXPECT_EQ(selectionShown, 2);
  const TLaunchData expected{program, kb::ModuleFolder().value(), "renamed", "", 2, 4, true};
  EXPECT_EQ(slot.record, expected);
  EXPECT_EQ(entries.At(4, 7), expected);
  EXPECT_EQ(slot.hint, "renamed");
  EXPECT_EQ(slot.calls, (std::vector<std::string>{"backup", "icon", "hint", "store"}));
}

TEST(ProgramRegistrationTest, DeleteThenCancelKeepsTheSlotThenOkErasesItsSectionAtOnce) {
  SettingsFile file;
  TEditWindow dialog(nullptr);
  int targetsCleared = 0;
  dialog.SetBackupTargetsClearer([&] { ++targetsCleared; });
  EntryTable entries;
  FakeSlot slot(entries, file.path(), 2, 2);
  const TLaunchData registered{"C:\\p22.exe", "C:\\", "p22", "", 0, 1, true};
  slot.record = registered;
  entries.At(2, 2) = registered;
  const std::string before = ReadFile(file.path());

  int result = RunWith(dialog, [&] { return EditProgramSlot(dialog, slot); }, [&] {
    Click(dialog.Control(TEditWindow::kBitBtn4));
    Click(dialog.Control(TEditWindow::kBitBtn2));
  });
  EXPECT_EQ(result, win::mrCancel);
  EXPECT_EQ(ReadFile(file.path()), before);
  EXPECT_EQ(slot.record, registered);
  EXPECT_TRUE(slot.calls.empty());
  EXPECT_EQ(targetsCleared, 0);

  result = RunWith(dialog, [&] { return EditProgramSlot(dialog, slot); }, [&] {
    Click(dialog.Control(TEditWindow::kBitBtn4));
    Click(dialog.Control(TEditWindow::kBitBtn1));
  });
  ASSERT_EQ(result, win::mrOk);
  EXPECT_FALSE(HasSection(file.path(), "ExButton2-2"));
  EXPECT_TRUE(HasSection(file.path(), "ExButton2-1"));
  EXPECT_TRUE(HasSection(file.path(), "ExButton2-3"));
  EXPECT_EQ(targetsCleared, 1);
  TLaunchData emptied;
  emptied.DoBackUp = true;  // the check box kept its state
  EXPECT_EQ(slot.record, emptied);
  EXPECT_EQ(entries.At(2, 2), emptied);
  EXPECT_EQ(slot.hint, "");
  EXPECT_EQ(slot.calls,
            (std::vector<std::string>{"backup", "blank", "no icon", "hint", "store", "erase"}));
}

class FakeGroup : public GroupEditor {
 public:
  FakeGroup(EntryTable& entries, std::string settingsPath, int tag, int listCount)
      : entries_(entries), settingsPath_(std::move(settingsPath)), tag_(tag), listCount_(listCount) {}
  TLaunchData& Record() override { return record; }
  void ClearGroup() override {
    GroupClearing clearing;
    clearing.group = tag_;
    clearing.listCount = listCount_;
    clearing.entries = &entries_;
    clearing.settingsPath = settingsPath_;
    clearing.clearButton = [this](int s) { buttonsCleared.push_back(s); };
    clearing.blankStoreCell = [this](int s) { cellsBlanked.push_back(s); };
    clearing.hideGroupWindow = [this] { calls.push_back("hide"); };
    calls.push_back(kb::ClearGroup(clearing) ? "cleared" : "kept");
  }
  void RefreshGlyph() override { calls.push_back("refresh"); }
  void EraseGroupSection() override {
    Settings settings;
    settings.SettingsPath = settingsPath_;
    kb::EraseGroupSection(settings, tag_);
    calls.push_back("erase");
  }

  TLaunchData record;
  std::vector<std::string> calls;
  std::vector<int> buttonsCleared, cellsBlanked;

 private:
  EntryTable& entries_;
  std::string settingsPath_;
  int tag_, listCount_;
};

bool IsShown(const TEditWindow& dialog, int id) {
  return (GetWindowLongPtrW(dialog.Control(id), GWL_STYLE) & WS_VISIBLE) != 0;
}

TEST(GroupRegistrationTest, GroupModeWhileOpenProgramModeAfterwardsAndCancelChangesNothing) {
  SettingsFile file;
  TEditWindow dialog(nullptr);
  EntryTable entries;
  FakeGroup group(entries, file.path(), 2, 15);
  // A name without an icon file counts as no registration: empty fields.
  group.record.ShowName = "named only";
  std::string caption, shownName;
  bool fileFieldShown = true, iconFieldShown = false;
  const int result = RunWith(dialog, [&] { return EditGroupRegistration(dialog, group); }, [&] {
    caption = win::testing::ReadWindowText(dialog.hwnd());
    shownName = dialog.ShowName();
    fileFieldShown = IsShown(dialog, TEditWindow::kEdit1);
    iconFieldShown = IsShown(dialog, TEditWindow::kEdit4);
    Click(dialog.Control(TEditWindow::kBitBtn3));
  });
  EXPECT_EQ(result, win::mrUpdate);
  EXPECT_EQ(caption, "グループの登録");
  EXPECT_EQ(shownName, "");
  EXPECT_FALSE(fileFieldShown);
  EXPECT_TRUE(iconFieldShown);
  EXPECT_EQ(win::testing::ReadWindowText(dialog.hwnd()), "プログラムの登録");
  EXPECT_TRUE(IsShown(dialog, TEditWindow::kEdit1));
  EXPECT_TRUE(IsShown(dialog, TEditWindow::kBitBtn7));
  EXPECT_TRUE(group.calls.empty());
  EXPECT_EQ(group.record.ShowName, "named only");
}

TEST(GroupRegistrationTest, OkWithANewNameRefreshesTheGlyphAndErasesNothing) {
  SettingsFile file;
  TEditWindow dialog(nullptr);
  EntryTable entries;
  FakeGroup group(entries, file.path(), 2, 15);
  group.record = {"", "", "two", "C:\\two.exe", 0, 1, false};
  const int result = RunWith(dialog, [&] { return EditGroupRegistration(dialog, group); }, [&] {
    EXPECT_EQ(dialog.ShowName(), "two");
    SetWindowTextW(dialog.Control(TEditWindow::kEdit3), L"zwei");
    Click(dialog.Control(TEditWindow::kBitBtn1));
  });
  ASSERT_EQ(result, win::mrOk);
  EXPECT_EQ(group.record.ShowName, "zwei");
  EXPECT_EQ(group.record.IconFile, "C:\\two.exe");
  EXPECT_EQ(group.calls, (std::vector<std::string>{"refresh"}));
  EXPECT_TRUE(HasSection(file.path(), "Button2"));
}

// Deletes group 2's registration and answers the question with `answer`.
void DeleteGroupTwo(FakeGroup& group, TEditWindow& dialog, int answer, std::string& question) {
  group.record = {"", "", "two", "C:\\two.exe", 0, 1, false};
  auto watch = win::testing::AnswerDialogLater("確認", answer, 10000);
  const int result = RunWith(dialog, [&] { return EditGroupRegistration(dialog, group); }, [&] {
    Click(dialog.Control(TEditWindow::kBitBtn4));
    Click(dialog.Control(TEditWindow::kBitBtn1));
  });
  EXPECT_EQ(result, win::mrOk);
  EXPECT_TRUE(watch->Fired());
  question = watch->ShownText();
}

TEST(GroupRegistrationTest, DeletionAnsweredYesEmptiesTheGroupsSlotsAndErasesBothSections) {
  SettingsFile file;
  TEditWindow dialog(nullptr);
  EntryTable entries;
  for (int s = 1; s <= 3; ++s) {
    entries.At(2, s).FPFileName = "C:\\p.exe";
    entries.At(3, s).FPFileName = "C:\\q.exe";
  }
  entries.At(2, 30).FPFileName = "C:\\beyond.exe";  // beyond ListCount
  FakeGroup group(entries, file.path(), 2, 15);
  std::string question;
  DeleteGroupTwo(group, dialog, IDYES, question);
  EXPECT_EQ(question, "このグループに含まれるファイルをすべて削除しますか？");
  EXPECT_EQ(group.calls, (std::vector<std::string>{"hide", "cleared", "refresh", "erase"}));
  EXPECT_EQ(group.record, TLaunchData{});
  for (int s = 1; s <= 15; ++s) EXPECT_EQ(entries.At(2, s), TLaunchData{}) << s;
  EXPECT_EQ(entries.At(2, 30).FPFileName, "C:\\beyond.exe");
  EXPECT_EQ(entries.At(3, 1).FPFileName, "C:\\q.exe");
  EXPECT_EQ(group.buttonsCleared.size(), 15u);
  EXPECT_EQ(group.cellsBlanked.size(), 15u);
  for (int s = 1; s <= 3; ++s) {
    EXPECT_FALSE(HasSection(file.path(), SlotSectionName(2, s)));
    EXPECT_TRUE(HasSection(file.path(), SlotSectionName(3, s)));
  }
  EXPECT_FALSE(HasSection(file.path(), "Button2"));
  EXPECT_TRUE(HasSection(file.path(), "Button3"));
}

TEST(GroupRegistrationTest, DeletionAnsweredNoKeepsTheSlotsButEmptiesTheGroup) {
  SettingsFile file;
  TEditWindow dialog(nullptr);
  EntryTable entries;
  entries.At(2, 1).FPFileName = "C:\\p.exe";
  FakeGroup group(entries, file.path(), 2, 15);
  std::string question;
  DeleteGroupTwo(group, dialog, IDNO, question);
  EXPECT_EQ(group.calls, (std::vector<std::string>{"kept", "refresh", "erase"}));
  EXPECT_EQ(group.record, TLaunchData{});
  EXPECT_EQ(entries.At(2, 1).FPFileName, "C:\\p.exe");
  EXPECT_TRUE(group.buttonsCleared.empty());
  EXPECT_TRUE(HasSection(file.path(), SlotSectionName(2, 1)));
  EXPECT_FALSE(HasSection(file.path(), "Button2"));
  EXPECT_EQ(win::testing::ReadWindowText(dialog.hwnd()), "プログラムの登録");
}

TEST(ClearGroupTest, StaysWithinTheFortySlotsAndWritesNoFileWhenNothingIsStored) {
  const std::string missing = kb::ModuleFolder().value() + "no_settings_here\\KBINI.dat";
  EntryTable entries;
  entries.At(5, 40).FPFileName = "C:\\last.exe";
  int blanked = 0;
  GroupClearing clearing;
  clearing.group = 5;
  clearing.listCount = 60;  // more than a group has
  clearing.entries = &entries;
  clearing.settingsPath = missing;
  clearing.blankStoreCell = [&](int) { ++blanked; };
  auto watch = win::testing::AnswerDialogLater("確認", IDYES, 10000);
  EXPECT_TRUE(ClearGroup(clearing));  // no WriteError for the missing folder
  EXPECT_EQ(blanked, 40);
  EXPECT_EQ(entries.At(5, 40), TLaunchData{});
  EXPECT_EQ(GetFileAttributesW(win::Widen(missing).c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace kb
