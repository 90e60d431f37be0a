#include "model/entry_table.h"

#include <algorithm>
#include <stdexcept>

#include "common/profile.h"

namespace kb {

namespace {

int Cap(int count, int limit) { return std::clamp(count, 0, limit); }

void CheckAddress(int group, int slot) {
  if (group < 1 || group > kMaxGroups || slot < 1 || slot > kMaxSlots) {
    throw std::out_of_range("program slot " + std::to_string(group) + "-" + std::to_string(slot));
  }
}

}  // namespace

TLaunchData& EntryTable::At(int group, int slot) {
  CheckAddress(group, slot);
  return rows_[group - 1][slot - 1];
}

const TLaunchData& EntryTable::At(int group, int slot) const {
  CheckAddress(group, slot);
  return rows_[group - 1][slot - 1];
}

void EntryTable::Load(const ProfileReader& reader, int groupCount, int slotCount) {
  for (int g = 1; g <= Cap(groupCount, kMaxGroups); ++g) {
    for (int s = 1; s <= Cap(slotCount, kMaxSlots); ++s) {
      At(g, s) = ReadLaunchData(reader, SlotSectionName(g, s));
      loaded_[g - 1][s - 1] = true;
    }
  }
}

void EntryTable::LoadMissing(const ProfileReader& reader, int groupCount, int slotCount) {
  for (int g = 1; g <= Cap(groupCount, kMaxGroups); ++g) {
    for (int s = 1; s <= Cap(slotCount, kMaxSlots); ++s) {
      if (loaded_[g - 1][s - 1]) continue;
      At(g, s) = ReadLaunchData(reader, SlotSectionName(g, s));
      loaded_[g - 1][s - 1] = true;
    }
  }
}

int EntryTable::LoadedGroups() const {
  for (int g = kMaxGroups; g >= 1; --g) {
    for (bool loaded : loaded_[g - 1]) {
      if (loaded) return g;
    }
  }
  return 0;
}

void EntryTable::Save(ProfileWriter& writer, int groupCount, int slotCount) const {
  for (int g = 1; g <= Cap(groupCount, kMaxGroups); ++g) {
    for (int s = 1; s <= Cap(slotCount, kMaxSlots); ++s) {
      const TLaunchData& record = At(g, s);
      if (!record.FPFileName.empty()) WriteLaunchData(writer, SlotSectionName(g, s), record);
    }
  }
}

void EntryTable::CopyGroupRow(int source, int target, int slotCount) {
  for (int s = 1; s <= Cap(slotCount, kMaxSlots); ++s) At(target, s) = At(source, s);
}

void EntryTable::ClearGroupRow(int group, int slotCount) {
  for (int s = 1; s <= Cap(slotCount, kMaxSlots); ++s) At(group, s) = TLaunchData{};
}

bool IsEmptyRecord(const TLaunchData& record) {
  return record.FPFileName.empty() && record.WorkingDir.empty() && record.ShowName.empty() &&
         record.IconFile.empty() && record.IconIndex == 0 && record.ExecOption == 1 &&
         !record.DoBackUp;
}

}  // namespace kb
