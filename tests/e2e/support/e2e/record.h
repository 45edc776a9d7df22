#pragma once
// The stand-in control's record: one JSON object per line, appended while the host runs.

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "e2e/json.h"

namespace e2e {

using LineMatch = std::function<bool(const Json&)>;

// Lines of this kind ("ev"), and of this "name" when one is given.
LineMatch event(std::string ev, std::string name = {});

class Record {
 public:
  explicit Record(std::filesystem::path file) : file_(std::move(file)) {}

  const std::filesystem::path& path() const { return file_; }

  // The complete lines so far; a last line still being written waits for the next read.
  // A line that is not strict JSON throws JsonError naming the line.
  std::vector<Json> lines() const;
  std::vector<Json> matching(const LineMatch& match) const;
  std::vector<Json> events(std::string ev, std::string name = {}) const { return matching(event(ev, name)); }

  // The first line from index `from` on that matches, once it has been written.
  std::optional<Json> waitFor(const LineMatch& match, std::chrono::milliseconds timeout, size_t from = 0) const;
  // Waits until the condition holds over all lines so far.
  bool waitUntil(const std::function<bool(const std::vector<Json>&)>& holds, std::chrono::milliseconds timeout) const;

  // The raw text, for failure messages.
  std::string text() const;

 private:
  std::filesystem::path file_;
};

}  // namespace e2e
