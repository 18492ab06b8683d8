#include "vantrel/displays/display_settle.h"

#include <algorithm>
#include <utility>

namespace vantrel {

namespace {

// Rounded up: a tick a fraction early would only have to be re-armed.
std::chrono::milliseconds Until(DisplaySettler::Clock::time_point due,
                                DisplaySettler::Clock::time_point now) {
  return std::chrono::ceil<std::chrono::milliseconds>(due - now);
}

}  // namespace

DisplaySettler::DisplaySettler(Displays current, Reader reader, SettleTiming timing)
    : current_(std::move(current)), reader_(std::move(reader)), timing_(timing) {
  timing_.quiet = std::max(timing_.quiet, std::chrono::milliseconds{0});
  timing_.interval = std::max(timing_.interval, std::chrono::milliseconds{0});
  timing_.max_reads = std::max(timing_.max_reads, 1);
}

DisplaySettler::Step DisplaySettler::OnMessage(Clock::time_point now) {
  phase_ = Phase::kQuiet;
  due_ = now + timing_.quiet;
  last_read_.reset();
  reads_ = 0;
  return {timing_.quiet, false, std::nullopt};
}

DisplaySettler::Step DisplaySettler::OnTimer(Clock::time_point now) {
  if (phase_ == Phase::kIdle) return {};
  if (now < due_) return {Until(due_, now), false, std::nullopt};

  // Nothing below changes the settler until the last step that can throw.
  Displays read = reader_();
  const int reads = reads_ + 1;
  const bool agree = last_read_ && *last_read_ == read;
  if (!agree && reads < timing_.max_reads) {
    last_read_ = std::move(read);
    reads_ = reads;
    phase_ = Phase::kReading;
    due_ = now + timing_.interval;
    return {timing_.interval, false, std::nullopt};
  }

  Step step{std::nullopt, true, std::nullopt};
  DisplayChanges changes = Difference(current_, read);
  current_ = std::move(read);
  phase_ = Phase::kIdle;
  last_read_.reset();
  reads_ = 0;
  if (!changes.empty()) step.changes = std::move(changes);
  return step;
}

}  // namespace vantrel
