// The outcome of an operation that can fail: what it worked on and why it failed.
#pragma once

#include <string>

/// Success, or a failure that names the path (or value) it concerns and the reason. Every
/// operation of the lower folders that can fail returns one; dropping it is a compile error.
class [[nodiscard]] Result {
 public:
  /// A success.
  Result() = default;

  static Result Success() { return Result(); }
  /// A failure about `path` for `reason` (never empty: an empty reason reads "failed").
  static Result Failure(std::string path, std::string reason);
  /// A failure about `path` with the system's text for `error` (an errno value) as the reason.
  static Result FromErrno(std::string path, int error);

  bool ok() const { return !failed_; }
  explicit operator bool() const { return ok(); }
  /// The path or value the failure is about; "" for a success.
  const std::string& path() const { return path_; }
  /// Why it failed; "" for a success.
  const std::string& reason() const { return reason_; }
  /// The errno value of a failure made by FromErrno; 0 otherwise.
  int systemError() const { return error_; }
  /// "<path>: <reason>", the form the system reports a failure in; "" for a success.
  std::string Describe() const;

  /// Marks a failure as seen where the caller goes on regardless, saying so in the code.
  void Ignore() const {}

 private:
  bool failed_ = false;
  int error_ = 0;
  std::string path_;
  std::string reason_;
};
