#include "backup/backup_worker.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <string>

#include "backup/lha_library.h"
#include "common/profile.h"
#include "model/backup_settings.h"
#include "win/lz_copy.h"
#include "win/text.h"

namespace kb {

namespace {

// The archiver's output buffer, and the size it is told (one less).
constexpr size_t kOutputSize = 65535;
constexpr DWORD kOutputSizeGiven = 0xFFFE;
// How long one wait of the late start sleeps before it looks at the tick
// counter again.
constexpr DWORD kWaitSliceMs = 100;

// Every entry the pattern matches, whatever its attributes, in the order
// the system returns them.  A name Shift-JIS cannot hold cannot be copied
// under its own name: it is left out.
std::vector<FoundEntry> SearchPattern(const std::string& pattern) {
  std::vector<FoundEntry> entries;
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileExW(win::Widen(pattern).c_str(), FindExInfoStandard, &found,
                                 FindExSearchNameMatch, nullptr, 0);
  if (find == INVALID_HANDLE_VALUE) return entries;
  do {
    if (std::optional<std::string> name = win::Narrow(found.cFileName)) {
      entries.push_back({std::move(*name), (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    }
  } while (FindNextFileW(find, &found));
  FindClose(find);
  return entries;
}

DWORD WINAPI WorkerThread(void* parameter) {
  // The worker frees itself when its routine ends, however it ends.
  std::unique_ptr<TDoBackUp> worker(static_cast<TDoBackUp*>(parameter));
  const std::shared_ptr<WorkerShared> shared = worker->Shared();
  bool made = false;
  try {
    made = worker->Execute();
  } catch (...) {
    // Nothing the worker does is reported; an exception must not unwind
    // into the system's thread start.
  }
  worker.reset();
  shared->Ended(GetCurrentThreadId(), made);
  return 0;
}

// The names of the files (not folders) in `folder`.
std::vector<std::wstring> FilesIn(const std::string& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(win::Widen(folder + "\\*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
  } while (FindNextFileW(find, &found));
  FindClose(find);
  return names;
}

// A staging folder of this process inside the backup folder, made
// exclusively (nobody else's is ever used); nullopt when none can be made.
std::optional<std::string> MakeStagingFolder(const std::string& folder, WorkerShared& shared) {
  const DWORD self = GetCurrentProcessId();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string path = folder + "\\" + StagingFolderName(self, ++shared.stagingCount);
    if (CreateDirectoryW(win::Widen(path).c_str(), nullptr)) return path;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return std::nullopt;
  }
  return std::nullopt;
}

// Removes a staging folder with whatever lies in it.
bool RemoveStagingFolder(const std::string& staging) {
  for (const std::wstring& name : FilesIn(staging)) {
    const std::wstring path = win::Widen(staging) + L"\\" + name;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
  }
  return RemoveDirectoryW(win::Widen(staging).c_str()) != 0;
}

// The most names an archive of one second may try.
constexpr int kMaxArchiveNumber = 9999;

// Moves the archive `name` out of the staging folder into `folder` under the
// first of its numbered names that no file has.  The move never replaces:
// a name taken meanwhile, by this launcher or anybody, is passed over.
void PlaceArchive(const std::string& staging, const std::string& folder, const std::string& name) {
  const std::wstring from = win::Widen(staging + "\\" + name);
  for (int n = 1; n <= kMaxArchiveNumber; ++n) {
    const std::wstring to = win::Widen(folder + "\\" + NumberedArchiveName(name, n));
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH)) return;
    const DWORD error = GetLastError();
    if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) return;
  }
}

// Whether process `id` still runs (one that cannot be looked at counts as
// running: its folder is not ours to take).
bool ProcessRuns(DWORD id) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
  if (!process) return GetLastError() == ERROR_ACCESS_DENIED;
  const bool runs = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  CloseHandle(process);
  return runs;
}

DWORD WINAPI LeftoverThread(void* parameter) {
  std::unique_ptr<std::string> settingsPath(static_cast<std::string*>(parameter));
  try {
    RemoveArchiveLeftovers(StoredBackupFolders(ProfileReader(*settingsPath)));
  } catch (...) {
    // A leftover that stays is removed at a later start.
  }
  return 0;
}

}  // namespace

uint32_t BackupClock::TickCount() const { return GetTickCount(); }

LocalDateTime BackupClock::LocalTime() const {
  SYSTEMTIME t{};
  GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

WorkerShared::WorkerShared(std::shared_ptr<LhaLibrary> library, std::shared_ptr<BackupClock> c)
    : lha(std::move(library)),
      clock(std::move(c)),
      closing(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      idle(CreateEventW(nullptr, TRUE, TRUE, nullptr)) {}

WorkerShared::~WorkerShared() {
  // No worker holds this any more: every one has ended and closed its handle.
  if (closing) CloseHandle(closing);
  if (idle) CloseHandle(idle);
}

void WorkerShared::Ended(DWORD threadId, bool made) {
  std::lock_guard<std::mutex> lock(mutex);
  const auto it = std::find_if(live.begin(), live.end(),
                               [threadId](const Live& worker) { return worker.id == threadId; });
  if (it == live.end()) return;
  // The thread may close its own handle: it runs on until it returns.
  if (CloseHandle(it->thread)) --handlesOpen;
  if (!made) unmade.push_back(std::move(it->origin));
  live.erase(it);
  if (live.empty() && idle) SetEvent(idle);
}

TDoBackUp::TDoBackUp(BackupJob job, std::shared_ptr<WorkerShared> shared)
    : job_(std::move(job)), shared_(std::move(shared)), launchTick_(shared_->clock->TickCount()) {}

bool TDoBackUp::Execute() {
  if (job_.lateStart && !WaitForLateStart()) return false;
  if (job_.mode == BackupWay::Copy) return CopyTargets(ExpandTargets());
  ArchiveTargets();
  return true;
}

bool TDoBackUp::WaitForLateStart() const {
  const uint32_t start = launchTick_;
  for (;;) {
    // Unsigned difference: right across the counter's wrap.
    const uint32_t elapsed = shared_->clock->TickCount() - start;
    if (elapsed > kLateBackupDelayMs) return true;
    const DWORD slice = std::min<DWORD>(kLateBackupDelayMs - elapsed + 1, kWaitSliceMs);
    if (!shared_->closing) {
      Sleep(slice);  // no event to wait on: the wait cannot be cut short
    } else if (WaitForSingleObject(shared_->closing, slice) == WAIT_OBJECT_0) {
      return false;
    }
  }
}

std::vector<CopyStep> TDoBackUp::ExpandTargets() const { return PlanCopies(job_, &SearchPattern); }

bool TDoBackUp::CopyTargets(const std::vector<CopyStep>& steps) const {
  CopySession session;
  for (const CopyStep& step : steps) {
    if (shared_->stop.load()) return false;
    session.Copy(step.source, step.destination, &shared_->stop);
  }
  // A stop during the last file left it uncopied.
  return !shared_->stop.load();
}

void TDoBackUp::ArchiveTargets() const {
  if (!ArchiveWanted(job_)) return;
  const std::string stamp = ArchiveStamp(shared_->clock->LocalTime());
  if (shared_->lha->UnlhaGetVersion() == 0) return;
  // The archiver packs into a folder of this backup alone, where no archive
  // of that name can exist yet and where its own temporary file lies too;
  // the finished archive then moves beside the others.  A folder that is
  // missing or refuses a new entry could not take an archive either.
  const std::optional<std::string> staging = MakeStagingFolder(job_.Folder, *shared_);
  if (!staging) return;
  const std::string commandLine = ArchiveCommandLine(*staging, stamp, job_.targets);
  std::vector<char> output(kOutputSize, '\0');
  shared_->lha->Unlha(nullptr, commandLine.c_str(), output.data(), kOutputSizeGiven);
  {
    // Archives of one second from several workers take their names in turn.
    std::lock_guard<std::mutex> lock(shared_->placing);
    for (const std::wstring& wide : FilesIn(*staging)) {
      // What the archiver made of the name: the stamp and its extension.
      const std::optional<std::string> name = win::Narrow(wide);
      if (!name || !name->starts_with(stamp)) continue;
      if (name->size() != stamp.size() && (*name)[stamp.size()] != '.') continue;
      PlaceArchive(*staging, job_.Folder, *name);
    }
  }
  RemoveStagingFolder(*staging);
}

BackupWorkers::BackupWorkers(std::shared_ptr<LhaLibrary> library,
                             std::shared_ptr<BackupClock> clock)
    : shared_(std::make_shared<WorkerShared>(std::move(library), std::move(clock))) {}

BackupWorkers::~BackupWorkers() { Shutdown(); }

void BackupWorkers::Start(BackupJob job, BackupOrigin origin) {
  auto worker = std::make_unique<TDoBackUp>(std::move(job), shared_);
  // Held until the worker is listed: it cannot report its end before that.
  std::lock_guard<std::mutex> lock(shared_->mutex);
  DWORD id = 0;
  HANDLE thread = CreateThread(nullptr, 0, &WorkerThread, worker.get(), 0, &id);
  if (!thread) return;  // no thread: this backup is not made
  worker.release();     // the thread owns it now
  shared_->live.push_back({thread, id, std::move(origin)});
  ++shared_->handlesOpen;
  if (shared_->idle) ResetEvent(shared_->idle);
}

size_t BackupWorkers::Running() {
  std::lock_guard<std::mutex> lock(shared_->mutex);
  return shared_->live.size();
}

size_t BackupWorkers::ThreadHandlesHeld() {
  std::lock_guard<std::mutex> lock(shared_->mutex);
  return shared_->handlesOpen;
}

bool BackupWorkers::WaitAll(DWORD timeoutMs) {
  if (!shared_->idle) return Running() == 0;
  return WaitForSingleObject(shared_->idle, timeoutMs) == WAIT_OBJECT_0;
}

std::vector<BackupOrigin> BackupWorkers::Shutdown(DWORD finishMs, DWORD stopMs) {
  if (Running() != 0) {
    if (shared_->closing) SetEvent(shared_->closing);
    if (!WaitAll(finishMs)) {
      shared_->stop.store(true);
      WaitAll(stopMs);
    }
  }
  std::lock_guard<std::mutex> lock(shared_->mutex);
  std::vector<BackupOrigin> unmade = std::move(shared_->unmade);
  shared_->unmade.clear();
  // Still running now: the end of the process will stop them.
  for (const WorkerShared::Live& worker : shared_->live) unmade.push_back(worker.origin);
  return unmade;
}

std::vector<BackupOrigin> BackupWorkers::Unfinished() {
  std::lock_guard<std::mutex> lock(shared_->mutex);
  std::vector<BackupOrigin> unfinished = shared_->unmade;
  for (const WorkerShared::Live& worker : shared_->live) unfinished.push_back(worker.origin);
  return unfinished;
}

int RemoveArchiveLeftovers(const std::vector<std::string>& folders) {
  const DWORD self = GetCurrentProcessId();
  int removed = 0;
  for (const std::string& folder : folders) {
    std::vector<std::string> leftovers;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(win::Widen(folder + "\\~kbarc*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) continue;
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
      const std::optional<std::string> name = win::Narrow(found.cFileName);
      const std::optional<uint32_t> owner = name ? StagingFolderOwner(*name) : std::nullopt;
      // A folder of this process, or of another launcher that still runs,
      // may be an archive being packed.
      if (owner && *owner != self && !ProcessRuns(*owner)) leftovers.push_back(*name);
    } while (FindNextFileW(find, &found));
    FindClose(find);
    for (const std::string& name : leftovers) {
      if (RemoveStagingFolder(folder + "\\" + name)) ++removed;
    }
  }
  return removed;
}

void RemoveArchiveLeftoversLater(std::string backupSettingsPath) {
  auto work = std::make_unique<std::string>(std::move(backupSettingsPath));
  HANDLE thread = CreateThread(nullptr, 0, &LeftoverThread, work.get(), 0, nullptr);
  if (!thread) return;
  work.release();
  CloseHandle(thread);  // nobody waits for it; the end of the process ends it
}

}  // namespace kb
