// The output of one command: the lines a console archiver would print and
// the result code, the first problem met (an error outranks the warnings
// before it, a fatal problem everything).
#pragma once

#include <string>

#include "lzh/status.h"

namespace kb::lzh {

struct CommandResult {
  Status status = Status::kOk;
  // Lines end in CR LF.  When status is not kOk the first line says what
  // went wrong first.
  std::string output;
};

class Report {
 public:
  void Line(const std::string& text) { lines_ += text + "\r\n"; }
  // fatal: the command stopped here.
  void Problem(Status status, const std::string& text, bool fatal = false) {
    if (status_ == Status::kOk || fatal || (IsWarning(status_) && !IsWarning(status))) {
      status_ = status;
      first_ = text;
    }
    Line(text);
  }
  CommandResult Result() const {
    CommandResult r{status_, lines_};
    // The first problem goes on top, so that a small buffer still shows it.
    if (status_ != Status::kOk && lines_.rfind(first_ + "\r\n", 0) != 0) r.output = first_ + "\r\n" + lines_;
    return r;
  }
  Status status() const { return status_; }

 private:
  static bool IsWarning(Status s) { return static_cast<int>(s) < static_cast<int>(Status::kDirectory); }

  Status status_ = Status::kOk;
  std::string first_;
  std::string lines_;
};

}  // namespace kb::lzh
