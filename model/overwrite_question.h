// The question asked before a dropped file replaces one of the same name.
#pragma once

#include <cstdint>
#include <string>

namespace kb {

// `sourceAge` and `destinationAge` are the files' last-write times at the
// platform's file-age resolution (local time, two seconds), as ordered values.
// The first line says whether the file already there is older, newer or of the
// same time; then the source's file name and the question, joined by single
// carriage returns.
std::string OverwriteQuestion(std::int64_t sourceAge, std::int64_t destinationAge,
                              const std::string& sourcePath);

}  // namespace kb
