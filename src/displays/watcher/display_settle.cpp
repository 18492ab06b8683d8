#include "vantrel/displays/display_settle.h"

#include <algorithm>
#include <string>
#include <utility>

namespace vantrel {

namespace {

// Rounded up: a tick a fraction early would only have to be re-armed.
std::chrono::milliseconds Until(DisplaySettler::Clock::time_point due,
                                DisplaySettler::Clock::time_point now) {
  return std::chrono::ceil<std::chrono::milliseconds>(due - now);
}

// The same display in an earlier read: by its adapter's name, which a
// change leaves as it is (its key where it has none), the n-th of a name
// for the n-th.
const DisplaysRead::Sources* SourcesOf(const DisplaysRead& earlier, const DisplaysRead& read,
                                       std::size_t k) {
  const auto id = [](const Display& d) -> const std::string& {
    return d.device_name.empty() ? d.key : d.device_name;
  };
  const std::string& name = id(read.displays[k]);
  std::size_t nth = 0;
  for (std::size_t j = 0; j < k; ++j) {
    if (id(read.displays[j]) == name) ++nth;
  }
  for (std::size_t j = 0; j < earlier.displays.size() && j < earlier.sources.size(); ++j) {
    if (id(earlier.displays[j]) == name && nth-- == 0) return &earlier.sources[j];
  }
  return nullptr;
}

}  // namespace

bool HalfApplied(const DisplaysRead& read, const DisplaysRead& settled) {
  if (settled.display_config && !read.display_config) return true;
  DisplaysRead::Sources any;
  for (const DisplaysRead::Sources& s : read.sources) {
    any = {any.path || s.path, any.key || s.key, any.mode || s.mode};
  }
  for (std::size_t k = 0; k < read.displays.size() && k < read.sources.size(); ++k) {
    const DisplaysRead::Sources& own = read.sources[k];
    const DisplaysRead::Sources* before = SourcesOf(settled, read, k);
    const DisplaysRead::Sources& had = before ? *before : any;
    if ((had.path && !own.path) || (had.key && !own.key) || (had.mode && !own.mode)) return true;
  }
  return false;
}

DisplaySettler::DisplaySettler(DisplaysRead current, Reader reader, SettleTiming timing,
                               ModesReader modes_reader)
    : current_(std::move(current)),
      reader_(std::move(reader)),
      modes_reader_(std::move(modes_reader)),
      timing_(timing) {
  timing_.quiet = std::max(timing_.quiet, std::chrono::milliseconds{0});
  timing_.interval = std::max(timing_.interval, std::chrono::milliseconds{0});
  timing_.max_reads = std::max(timing_.max_reads, 1);
}

DisplaySettler::Step DisplaySettler::OnMessage(Clock::time_point now) {
  phase_ = Phase::kQuiet;
  due_ = now + timing_.quiet;
  last_whole_.reset();
  modes_.reset();
  reads_ = 0;
  return {timing_.quiet, false, std::nullopt};
}

DisplaySettler::Step DisplaySettler::OnTimer(Clock::time_point now) {
  if (phase_ == Phase::kIdle) return {};
  if (now < due_) return {Until(due_, now), false, std::nullopt};

  // Nothing below changes the settler until the last step that can throw.
  DisplaysRead read = reader_();
  const int reads = reads_ + 1;
  const bool half = HalfApplied(read, current_);
  const bool agree = !half && last_whole_ && last_whole_->displays == read.displays;
  if (!agree && reads < timing_.max_reads) {
    // A layout's modes, read between its first read and the next.
    std::optional<Displays> modes;
    if (modes_reader_ && !half) modes = modes_reader_(read.displays);
    if (!half) {
      last_whole_ = std::move(read);
      modes_ = std::move(modes);
    }
    reads_ = reads;
    phase_ = Phase::kReading;
    due_ = now + timing_.interval;
    return {timing_.interval, false, std::nullopt};
  }

  // Agreed, or out of reads: the last whole read stands, else the last read.
  Settling settling = Settling::kSettled;
  if (!agree) settling = half && !last_whole_ ? Settling::kHalfApplied : Settling::kUnconfirmed;
  DisplaysRead& taken = half && last_whole_ ? *last_whole_ : read;
  // Its modes: those read while it held, else read now.
  std::optional<Displays> modes_now;
  Displays* with_modes = &taken.displays;
  if (modes_reader_) {
    // modes_ belongs to last_whole_: the read taken when it agreed or was half.
    const bool held = modes_ && (agree || half);
    with_modes = held ? &*modes_ : &modes_now.emplace(modes_reader_(taken.displays));
  }
  Step step{std::nullopt, true, std::nullopt};
  DisplayChanges changes = Difference(current_.displays, *with_modes);
  changes.settling = settling;
  if (with_modes != &taken.displays) taken.displays = std::move(*with_modes);
  current_ = std::move(taken);
  phase_ = Phase::kIdle;
  last_whole_.reset();
  modes_.reset();
  reads_ = 0;
  if (!changes.empty()) step.changes = std::move(changes);
  return step;
}

}  // namespace vantrel
