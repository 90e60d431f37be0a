#include "common/identity.h"

namespace kb {

const char* const kAppTitle = "Kobarune";
const char* const kAppClassName = "TApplication";
const char* const kMutexName = "MutexObjectKobarune";
const char* const kHelpFileName = "Pelkan2.hlp";
const char* const kDataFolderName = "data\\";

}  // namespace kb
