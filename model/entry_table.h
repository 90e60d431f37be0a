// The records of every program slot of every group, held in memory so that a
// group switch only copies records.  Groups and slots are numbered from 1.
#pragma once

#include <array>

#include "model/launch_data.h"

namespace kb {

class ProfileReader;
class ProfileWriter;

class EntryTable {
 public:
  // Throws std::out_of_range outside 1..40: no operation may reach into a
  // neighbouring group's row.
  TLaunchData& At(int group, int slot);
  const TLaunchData& At(int group, int slot) const;

  // Reads groups 1..groupCount, slots 1..slotCount (both capped at 40) from
  // the "ExButton<g>-<s>" sections; missing keys give the record defaults.
  // Slots outside the range keep what they hold.
  void Load(const ProfileReader& reader, int groupCount, int slotCount);
  // The same for the slots of that range not read yet (a larger monitor
  // shows more of them): what was read before, and changed since, stays.
  void LoadMissing(const ProfileReader& reader, int groupCount, int slotCount);
  bool Loaded(int group, int slot) const { return loaded_[group - 1][slot - 1]; }
  // The most groups any read covered.
  int LoadedGroups() const;

  // Writes the sections of the non-empty slots among groups 1..groupCount,
  // slots 1..slotCount.  An empty slot is skipped, so a section it still has
  // in the file stays as it was; so do sections beyond slotCount.
  void Save(ProfileWriter& writer, int groupCount, int slotCount) const;

  // Slots 1..slotCount (capped at 40) of `target` become those of `source`.
  void CopyGroupRow(int source, int target, int slotCount);

  // Every slot of `group` up to slotCount becomes an empty record.
  void ClearGroupRow(int group, int slotCount);

 private:
  std::array<std::array<TLaunchData, kMaxSlots>, kMaxGroups> rows_{};
  std::array<std::array<bool, kMaxSlots>, kMaxGroups> loaded_{};
};

// An empty slot: no program, no names, icon 0, normal window, no backup.
bool IsEmptyRecord(const TLaunchData& record);

}  // namespace kb
