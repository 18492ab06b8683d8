// The simulated state store: files in memory, a file that cannot be written
// or read where a test says so, and locks that count how often they were
// taken and how many were ever held at once.
#pragma once

#include <map>
#include <mutex>
#include <set>
#include <string>

#include "vantrel/platform/state_store.h"

namespace vantrel::platform {

class SimulatedStore final : public StateStore {
 public:
  // Files by name; a test may put any text there.
  std::map<std::string, std::string, std::less<>> files;
  // Names whose Write (or Read) fails with system error 5, access denied.
  std::set<std::string, std::less<>> unwritable, unreadable;
  bool has_place = true;  // false: every file call fails, as where no folder is set

  // The most locks of one name held at once, and how many were taken.
  int most_held() const;
  int locks_taken() const;

  Result<std::string> Where(std::string_view name) override;
  Result<std::optional<std::string>> Read(std::string_view name) override;
  Result<void> Write(std::string_view name, std::string_view text) override;
  Result<std::unique_ptr<Held>> Lock(std::string_view name) override;

 private:
  class Taken;
  mutable std::mutex mutex_;
  std::map<std::string, std::mutex, std::less<>> locks_;
  int held_ = 0, most_held_ = 0, taken_ = 0;
};

}  // namespace vantrel::platform
