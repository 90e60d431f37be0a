// TDoBackUp: the worker thread that makes one due backup -- after a
// 20-second wait when the backup was started with LateBU -- by copying the
// expanded targets into the folder or by handing the patterns to the LHA
// archiver.  It touches no window and reports nothing; it owns its job and
// ends on its own.
//
// BackupWorkers starts the workers and knows which still run, so the
// launcher can end them properly when it closes: a worker still waiting is
// dropped, a copying one gets a few seconds to finish and is then stopped
// between two blocks (its unfinished copy goes, the old one stays).
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "model/backup_command.h"

namespace kb {

class LhaLibrary;

// The clocks a worker reads; tests replace them.
class BackupClock {
 public:
  virtual ~BackupClock() = default;
  // The system's millisecond tick counter (it wraps after 49.7 days).
  virtual uint32_t TickCount() const;
  virtual LocalDateTime LocalTime() const;
};

// How long the late start waits, in milliseconds: more than this has to
// pass on the tick counter.
inline constexpr uint32_t kLateBackupDelayMs = 20000;

// What every worker of one launcher shares.  It outlives the launcher's own
// objects while a worker still runs.
struct WorkerShared {
  WorkerShared(std::shared_ptr<LhaLibrary> library, std::shared_ptr<BackupClock> clock);
  ~WorkerShared();
  WorkerShared(const WorkerShared&) = delete;
  WorkerShared& operator=(const WorkerShared&) = delete;

  std::shared_ptr<LhaLibrary> lha;
  std::shared_ptr<BackupClock> clock;
  HANDLE closing;               // set: the launcher closes; waiting workers drop
  std::atomic<bool> stop{false};  // set: copies end between two blocks
};

class TDoBackUp {
 public:
  TDoBackUp(BackupJob job, std::shared_ptr<WorkerShared> shared);

  // The execute routine: the optional wait, then the copy or the archive.
  void Execute();

  // Copy mode: the files the targets match, with their destinations.
  std::vector<CopyStep> ExpandTargets() const;
  void CopyTargets(const std::vector<CopyStep>& steps) const;
  // Archive mode: one new archive named after the current local time.
  void ArchiveTargets() const;

 private:
  // False when the launcher closed during the wait.
  bool WaitForLateStart() const;

  BackupJob job_;
  std::shared_ptr<WorkerShared> shared_;
};

class BackupWorkers {
 public:
  explicit BackupWorkers(std::shared_ptr<LhaLibrary> library,
                         std::shared_ptr<BackupClock> clock = std::make_shared<BackupClock>());
  // Shutdown().
  ~BackupWorkers();
  BackupWorkers(const BackupWorkers&) = delete;
  BackupWorkers& operator=(const BackupWorkers&) = delete;

  // Starts a worker on its own thread; the caller never waits for it.
  void Start(BackupJob job);

  // Workers whose thread has not ended.
  size_t Running();
  // Waits until every worker has ended; false after timeoutMs.
  bool WaitAll(DWORD timeoutMs);

  // The launcher closes: workers still in their late-start wait end at once
  // without backing up; the others may finish within finishMs and are then
  // stopped (copies between two blocks), waited for up to stopMs more.
  // Returns at once when no worker runs.
  void Shutdown(DWORD finishMs = 3000, DWORD stopMs = 2000);

 private:
  std::vector<HANDLE> LiveThreads();

  std::shared_ptr<WorkerShared> shared_;
  std::mutex mutex_;
  std::vector<HANDLE> threads_;
};

}  // namespace kb
