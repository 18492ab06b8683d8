/// @file
/// Where the library keeps what must outlive a process (the layout from
/// before a change of the displays), and the lock that lets one process of
/// the desktop at a time change the displays: a port of the seam, as System
/// is. One implementation keeps files in a folder of the user's; the
/// simulated one in the project's testing library keeps them in memory.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "vantrel/result.h"

namespace vantrel::platform {

/// Files by name ("layout-before.json"), texts UTF-8, and named locks. Every
/// method may be called from any thread at any time.
class StateStore {
 public:
  virtual ~StateStore() = default;

  /// The file's full name, for messages (UTF-8). Fails with
  /// ErrorCode::kSystem where the store has no place to keep files.
  virtual Result<std::string> Where(std::string_view name) = 0;
  /// The file's whole text; std::nullopt where none is kept. Fails with
  /// kSystem, naming the file and the system's error, where it cannot be
  /// read.
  virtual Result<std::optional<std::string>> Read(std::string_view name) = 0;
  /// Keeps `text` as the file, atomically: a reader (another process, after
  /// a crash) finds the old text or the new one, never part of one. Fails
  /// with kSystem, naming the file and the system's error.
  virtual Result<void> Write(std::string_view name, std::string_view text) = 0;

  /// What a lock is held by: the lock is released when it goes, on the
  /// thread that took it.
  class Held {
   public:
    virtual ~Held() = default;
  };
  /// Takes the lock `name`, shared by every process of the user's desktop,
  /// waiting while another holds it; a lock whose holder died is taken.
  /// Fails with kSystem where the lock cannot be made.
  virtual Result<std::unique_ptr<Held>> Lock(std::string_view name) = 0;
};

/// The store the library uses now: the one given to UseStore, else the
/// running one (on Windows, files in the folder named by the environment
/// variable VANTREL_STATE_DIR where set and not empty, else in
/// %LOCALAPPDATA%\\Vantrel, created when first written, and named mutexes of
/// the logon session; elsewhere a store with no place, every file call
/// failing, and locks within the process only).
StateStore& CurrentStore() noexcept;
/// Makes `store` the one the whole process uses from now on; null puts the
/// running one back. The store must outlive its use.
void UseStore(StateStore* store) noexcept;

}  // namespace vantrel::platform
