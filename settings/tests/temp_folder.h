// A fresh folder under the temporary folder standing in for the launcher's
// own folder; removed with its files at the end.
#pragma once

#include "win/testing/temp_folder.h"

namespace kb::testing {

using TempFolder = win::testing::TempFolder;

}  // namespace kb::testing
