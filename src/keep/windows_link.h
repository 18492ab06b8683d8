// How vantrel-keep's commands reach the keeper running on the desktop, and
// how that keeper hears them, Ctrl+C and the end of the session: a named
// mutex makes one process the keeper, whose hidden message-only window takes
// the others' requests and whose hidden top-level window hears the session
// end, both on the thread its loop runs on.
#pragma once

#include <windows.h>

#include <optional>

#include "keep_tool.h"

class WindowsLink final : public keep_tool::Link {
 public:
  WindowsLink();
  ~WindowsLink() override;
  WindowsLink(const WindowsLink&) = delete;
  WindowsLink& operator=(const WindowsLink&) = delete;

  bool Running() override;
  std::optional<vantrel::RestoreReport> Restore() override;
  bool Forget(bool all) override;
  bool Stop() override;
  bool Claim() override;
  vantrel::Result<void> Serve(keep_tool::KeeperLoop& loop) override;

  // The command is done: a console closing meanwhile may end the process.
  void Finished();

 private:
  std::optional<DWORD_PTR> Send(WPARAM request, UINT timeout_ms);
  HANDLE claim_ = nullptr;
};
