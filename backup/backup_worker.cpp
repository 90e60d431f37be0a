#include "backup/backup_worker.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <string>

#include "backup/lha_library.h"
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
  try {
    worker->Execute();
  } catch (...) {
    // Nothing the worker does is reported; an exception must not unwind
    // into the system's thread start.
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
      closing(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

WorkerShared::~WorkerShared() {
  if (closing) CloseHandle(closing);
}

TDoBackUp::TDoBackUp(BackupJob job, std::shared_ptr<WorkerShared> shared)
    : job_(std::move(job)), shared_(std::move(shared)) {}

void TDoBackUp::Execute() {
  if (job_.lateStart && !WaitForLateStart()) return;
  if (job_.mode == BackupWay::Copy) {
    CopyTargets(ExpandTargets());
  } else {
    ArchiveTargets();
  }
}

bool TDoBackUp::WaitForLateStart() const {
  const uint32_t start = shared_->clock->TickCount();
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

void TDoBackUp::CopyTargets(const std::vector<CopyStep>& steps) const {
  CopySession session;
  for (const CopyStep& step : steps) {
    if (shared_->stop.load()) return;
    session.Copy(step.source, step.destination, &shared_->stop);
  }
}

void TDoBackUp::ArchiveTargets() const {
  if (!ArchiveWanted(job_)) return;
  const std::string commandLine =
      ArchiveCommandLine(job_.Folder, ArchiveStamp(shared_->clock->LocalTime()), job_.targets);
  if (shared_->lha->UnlhaGetVersion() == 0) return;
  std::vector<char> output(kOutputSize, '\0');
  shared_->lha->Unlha(nullptr, commandLine.c_str(), output.data(), kOutputSizeGiven);
}

BackupWorkers::BackupWorkers(std::shared_ptr<LhaLibrary> library,
                             std::shared_ptr<BackupClock> clock)
    : shared_(std::make_shared<WorkerShared>(std::move(library), std::move(clock))) {}

BackupWorkers::~BackupWorkers() {
  Shutdown();
  std::lock_guard<std::mutex> lock(mutex_);
  for (HANDLE thread : threads_) CloseHandle(thread);
}

void BackupWorkers::Start(BackupJob job) {
  auto worker = std::make_unique<TDoBackUp>(std::move(job), shared_);
  HANDLE thread = CreateThread(nullptr, 0, &WorkerThread, worker.get(), 0, nullptr);
  if (!thread) return;  // no thread: this backup is not made
  worker.release();     // the thread owns it now
  std::lock_guard<std::mutex> lock(mutex_);
  threads_.push_back(thread);
}

std::vector<HANDLE> BackupWorkers::LiveThreads() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::erase_if(threads_, [](HANDLE thread) {
    if (WaitForSingleObject(thread, 0) != WAIT_OBJECT_0) return false;
    CloseHandle(thread);
    return true;
  });
  return threads_;
}

size_t BackupWorkers::Running() { return LiveThreads().size(); }

bool BackupWorkers::WaitAll(DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (HANDLE thread : LiveThreads()) {
    const DWORD spent = GetTickCount() - start;
    if (spent >= timeoutMs || WaitForSingleObject(thread, timeoutMs - spent) != WAIT_OBJECT_0) {
      return Running() == 0;
    }
  }
  return true;
}

void BackupWorkers::Shutdown(DWORD finishMs, DWORD stopMs) {
  if (LiveThreads().empty()) return;
  if (shared_->closing) SetEvent(shared_->closing);
  if (WaitAll(finishMs)) return;
  shared_->stop.store(true);
  WaitAll(stopMs);
}

}  // namespace kb
