// Makes one archive backup with the archiver library in its first argument's
// folder, of the pattern in its second, into
// the folder in its third, and waits for it; the archive test ends it in the
// middle of the run.
#include <windows.h>

#include <string>

#include "backup/backup_worker.h"
#include "backup/lha_library.h"
#include "win/text.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) return 2;
  kb::BackupJob job;
  job.mode = kb::BackupWay::Archive;
  job.targets = {kb::win::Narrow(argv[2]).value_or("")};
  job.Folder = kb::win::Narrow(argv[3]).value_or("");
  kb::BackupWorkers workers(kb::LoadLhaLibrary(std::wstring(argv[1]) + L"\\"));
  workers.Start(job);
  return workers.WaitAll(INFINITE) ? 0 : 1;
}
