// The outcome of an operation that can fail: what it worked on and why it failed.
#include "fs/result.h"

#include <cstring>
#include <utility>

Result Result::Failure(std::string path, std::string reason) {
  Result result;
  result.failed_ = true;
  result.path_ = std::move(path);
  result.reason_ = reason.empty() ? "failed" : std::move(reason);
  return result;
}

Result Result::FromErrno(std::string path, int error) {
  Result result = Failure(std::move(path), std::strerror(error));
  result.error_ = error;
  return result;
}

std::string Result::Describe() const {
  if (ok()) return "";
  return path_ + ": " + reason_;
}
