#include "listing.h"

#include <algorithm>
#include <charconv>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace listing {

namespace {

using vantrel::Display;
using vantrel::Displays;
using vantrel::Rect;

// Columns as wide as their widest cell, counted in characters, not bytes.
std::size_t Width(std::string_view s) {
  return static_cast<std::size_t>(std::count_if(
      s.begin(), s.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xc0) != 0x80; }));
}

std::string Area(const Rect& r) {
  return std::to_string(r.width()) + "x" + std::to_string(r.height()) + " at (" +
         std::to_string(r.left) + "," + std::to_string(r.top) + ")";
}

std::string Hertz(const vantrel::RefreshRate& rate) {
  if (rate.numerator == 0) return "-";
  if (rate.denominator == 1) return std::to_string(rate.numerator) + " Hz";
  char buffer[32];
  const auto end =
      std::to_chars(buffer, buffer + sizeof buffer, rate.hertz(), std::chars_format::fixed, 2).ptr;
  return std::string(buffer, end) + " Hz";
}

// One JSON line with the displays, then one per change, until the wait ends.
// The first line is the watcher's Current(): a change told before it is
// written waits for it, and is not in it, as Current() takes in an event only
// once its callback has returned. The lines carry whole displays, so the
// watcher reads the modes too.
int Watch(Console& console) {
  std::mutex order;
  bool gone = false;                                 // under `order`: a line could not be written
  std::unique_ptr<vantrel::DisplayWatcher> watcher;  // goes after the lock
  std::unique_lock first(order);
  auto started = vantrel::DisplayWatcher::Start(
      [&](const vantrel::DisplayChanges& changes) {
        const std::lock_guard after_first(order);
        if (gone) return;
        if (!console.Out(vantrel::json::ChangeLine(changes))) {
          gone = true;
          console.EndWait();
        }
      },
      {.snapshot = {.modes = true}});
  if (!started) {
    first.unlock();
    console.Err("vantrel-list: " + started.error().message + "\n");
    return kFailed;
  }
  watcher = std::move(started).value();
  const bool written = console.Out(vantrel::json::SnapshotLine(watcher->Current()));
  first.unlock();
  // Nothing to do until a change, Ctrl+C, or the output is found closed.
  if (written) console.Wait();
  watcher->Stop();
  return kDone;
}

}  // namespace

int Run(const std::vector<std::string_view>& args, Console& console) {
  const std::optional<Mode> mode = ParseOptions(args);
  if (!mode) {
    console.Err(Usage());
    return kBadUsage;
  }
  try {
    switch (*mode) {
      case Mode::kHelp:
        return console.Out(Usage()) ? kDone : kFailed;
      case Mode::kTable:
        return console.Out(Table(Displays::Take())) ? kDone : kFailed;
      case Mode::kJson:
        return console.Out(vantrel::json::Document(Displays::Take())) ? kDone : kFailed;
      case Mode::kWatch:
        return Watch(console);
    }
  } catch (const std::exception& e) {
    // The monitor list's Failure and the display layer's Exception alike.
    console.Err(std::string("vantrel-list: ") + e.what() + "\n");
  }
  return kFailed;
}

std::optional<Mode> ParseOptions(const std::vector<std::string_view>& args) {
  std::optional<Mode> mode;
  for (std::string_view a : args) {
    std::optional<Mode> asked;
    if (a == "--json") asked = Mode::kJson;
    if (a == "--watch") asked = Mode::kWatch;
    if (a == "--help" || a == "-h" || a == "/?") asked = Mode::kHelp;
    if (!asked || (mode && *mode != *asked)) return std::nullopt;
    mode = asked;
  }
  return mode.value_or(Mode::kTable);
}

std::string Usage() {
  return "usage: vantrel-list [--json | --watch | --help]\n"
         "Lists the displays attached to the desktop.\n"
         "  (no option)  a table, one row per display\n"
         "  --json       one JSON document with every fact of every display\n"
         "  --watch      one JSON line with the displays, then one per change,\n"
         "               until Ctrl+C or until its output is closed\n"
         "  --help       this text\n"
         "Exit codes: 0 done, 1 the output could not be written or a failure (its\n"
         "message on stderr), 2 an unknown option.\n";
}

std::string Table(const Displays& displays) {
  std::vector<std::vector<std::string>> rows = {
      {"#", "Name", "Primary", "Bounds", "Work area", "Scale", "Refresh", "Orientation", "Key"}};
  for (const Display& d : displays) {
    rows.push_back({std::to_string(d.number), d.name, d.primary ? "yes" : "no", Area(d.bounds),
                    Area(d.work_area), std::to_string(d.dpi * 100 / 96) + "%",
                    Hertz(d.refresh_rate), std::to_string(d.orientation) + "\xc2\xb0", d.key});
  }
  std::vector<std::size_t> widths(rows.front().size(), 0);
  for (const auto& row : rows) {
    for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], Width(row[c]));
  }
  std::string out;
  for (const auto& row : rows) {
    std::string line;
    for (std::size_t c = 0; c < row.size(); ++c) {
      line += row[c];
      if (c + 1 < row.size()) line.append(widths[c] - Width(row[c]) + 2, ' ');
    }
    out += line + "\n";
  }
  return out;
}

}  // namespace listing
