// TDoBackUp: the worker thread that makes one due backup -- after a
// 20-second wait when the backup was started with LateBU -- by copying the
// expanded targets into the folder or by handing the patterns to the LHA
// archiver.  It touches no window and reports nothing; it owns its job and
// ends on its own.
//
// BackupWorkers starts the workers and knows which still run, so the
// launcher can end them properly when it closes: a worker still waiting is
// dropped, a copying one gets a few seconds to finish and is then stopped
// between two blocks (its unfinished copy goes, the old one stays).  The
// backups the close kept from being made are handed back, so their
// countdowns can be left due for the next launch.  Each worker closes its
// own thread handle as it ends.
//
// An archive is packed in a staging folder inside the backup folder and
// then moved beside the others under a name no archive has yet
// ("yymmddhhnnss.lzh", then "yymmddhhnnss_2.lzh" ...): an existing archive
// is never added to or replaced.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
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

// Where the countdown of a started backup lives: its section of the backup
// settings file and the countdown it had before the launch that started it.
struct BackupOrigin {
  std::string section;
  int32_t next = 1;
  bool operator==(const BackupOrigin&) const = default;
};

// What every worker of one launcher shares.  It outlives the launcher's own
// objects while a worker still runs.
struct WorkerShared {
  WorkerShared(std::shared_ptr<LhaLibrary> library, std::shared_ptr<BackupClock> clock);
  ~WorkerShared();
  WorkerShared(const WorkerShared&) = delete;
  WorkerShared& operator=(const WorkerShared&) = delete;

  // The worker on thread `threadId` has ended: its handle is closed, and a
  // backup it did not make is kept for Shutdown to hand back.
  void Ended(DWORD threadId, bool made);

  std::shared_ptr<LhaLibrary> lha;
  std::shared_ptr<BackupClock> clock;
  HANDLE closing;               // set: the launcher closes; waiting workers drop
  std::atomic<bool> stop{false};  // set: copies end between two blocks
  std::atomic<uint32_t> stagingCount{0};  // numbers the staging folders
  std::mutex placing;  // one archive at a time takes a free name

  struct Live {
    HANDLE thread;
    DWORD id;
    BackupOrigin origin;
  };
  std::mutex mutex;  // guards live, unmade and handlesOpen
  std::vector<Live> live;
  size_t handlesOpen = 0;  // thread handles not closed yet
  std::vector<BackupOrigin> unmade;
  HANDLE idle;  // manual reset; set while no worker runs
};

class TDoBackUp {
 public:
  TDoBackUp(BackupJob job, std::shared_ptr<WorkerShared> shared);

  // The execute routine: the optional wait, then the copy or the archive.
  // False when the backup was not made: dropped in its wait or stopped
  // before the end of its copies.
  bool Execute();

  // Copy mode: the files the targets match, with their destinations.
  std::vector<CopyStep> ExpandTargets() const;
  // False when stopped before the last file.
  bool CopyTargets(const std::vector<CopyStep>& steps) const;
  // Archive mode: one new archive named after the current local time.
  void ArchiveTargets() const;

  const std::shared_ptr<WorkerShared>& Shared() const { return shared_; }

 private:
  // False when the launcher closed during the wait.
  bool WaitForLateStart() const;

  BackupJob job_;
  std::shared_ptr<WorkerShared> shared_;
  // The tick of the launch, taken when the worker is made: the late wait
  // counts from the launch, not from when the thread first runs.
  uint32_t launchTick_ = 0;
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
  // `origin` says whose countdown the backup reset.
  void Start(BackupJob job, BackupOrigin origin = {});

  // Workers whose thread has not ended.
  size_t Running();
  // Thread handles still held (each worker closes its own as it ends).
  size_t ThreadHandlesHeld();
  // Waits until every worker has ended; false after timeoutMs.
  bool WaitAll(DWORD timeoutMs);

  // The launcher closes: workers still in their late-start wait end at once
  // without backing up; the others may finish within finishMs and are then
  // stopped (copies between two blocks), waited for up to stopMs more.
  // Returns at once when no worker runs.  Returns the origins of the
  // backups not made: dropped, stopped, or still running when it gave up.
  std::vector<BackupOrigin> Shutdown(DWORD finishMs = 3000, DWORD stopMs = 2000);
  // The origins of the backups not made so far: those of the workers still
  // running and of those that ended without making theirs.  Nothing ends.
  std::vector<BackupOrigin> Unfinished();

 private:
  std::shared_ptr<WorkerShared> shared_;
};

// Removes the staging folders a launcher that ended mid-archive left in
// `folders` (those of this process and of processes that still run are left
// alone).  Returns how many went.
int RemoveArchiveLeftovers(const std::vector<std::string>& folders);
// The same for the folders the backup settings file names, read and done on
// a thread of its own, so that neither the file nor a slow or absent drive
// among the folders holds the start up.
void RemoveArchiveLeftoversLater(std::string backupSettingsPath);

}  // namespace kb
