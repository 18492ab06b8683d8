// The desktop's memory as data: the sets of displays and their names, which
// windows it keeps, the bounds it keeps to, and its file (schema
// "vantrel-desktop"), written with the display layer's one writer and read
// with its one reader.
#include <algorithm>
#include <array>
#include <cstdio>
#include <utility>

#include "vantrel/displays/desktop.h"
#include "vantrel/displays/desktop_bounds.h"
#include "vantrel/displays/json_reader.h"
#include "vantrel/displays/json_writer.h"
#include "vantrel/displays/layout_json.h"

namespace vantrel {

namespace {

constexpr std::array<std::string_view, 3> kStateNames{"normal", "minimized", "maximized"};

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::ranges::equal(a, b, [](char x, char y) { return Lower(x) == Lower(y); });
}

void WriteWindow(json::Writer& j, const KeptWindow& w) {
  j.Begin('{');
  j.Key("handle").Number(static_cast<std::int64_t>(w.handle));
  j.Key("process").Number(w.process_id);
  j.Key("thread").Number(w.thread_id);
  j.Key("image").Text(w.image);
  j.Key("class").Text(w.class_name);
  j.Key("title").Text(w.title);
  j.Key("state").Text(kStateNames[static_cast<std::size_t>(w.state)]);
  j.Key("place").Text(ToText(w.place));
  j.End('}');
}

KeptWindow ReadWindow(json::Reader& r) {
  KeptWindow w;
  const auto state = [&] {
    const auto found = std::ranges::find(kStateNames, r.Text());
    if (found == kStateNames.end()) r.Fail("expected \"normal\", \"minimized\" or \"maximized\"");
    w.state = static_cast<ShowState>(found - kStateNames.begin());
  };
  const auto place = [&] {
    Result<WindowPlacement> read = PlacementFromText(r.Text());
    if (!read) r.Fail(read.error().message);
    w.place = std::move(read).value();
  };
  r.Object(
      {{"handle",
        [&] { w.handle = static_cast<std::uintptr_t>(r.Integer(0, INT64_C(0xFFFFFFFFFFFF))); }},
       {"process", [&] { w.process_id = static_cast<std::uint32_t>(r.Integer(0, UINT32_MAX)); }},
       {"thread", [&] { w.thread_id = static_cast<std::uint32_t>(r.Integer(0, UINT32_MAX)); }},
       {"image", [&] { w.image = r.Text(); }},
       {"class", [&] { w.class_name = r.Text(); }},
       {"title", [&] { w.title = r.Text(); }},
       {"state", state},
       {"place", place}});
  return w;
}

DisplaySetMemory ReadSet(json::Reader& r) {
  DisplaySetMemory set;
  const auto keys = [&] {
    r.Array([&] { set.keys.push_back(r.Text()); });
    if (!std::ranges::is_sorted(set.keys)) r.Fail("expected the keys sorted");
  };
  r.Object({{"id", [&] { set.id = r.Text(); }},
            {"keys", keys},
            {"used", [&] { set.used = static_cast<std::uint64_t>(r.Integer(0, INT64_MAX)); }},
            {"layout",
             [&] {
               if (!r.Null()) set.layout = json::ReadLayout(r);
             }},
            {"windows", [&] { r.Array([&] { set.windows.push_back(ReadWindow(r)); }); }}});
  if (set.id != SetId(set.keys)) r.Fail("the set's id is not that of its keys");
  return set;
}

}  // namespace

const DisplaySetMemory* DesktopMemory::Find(std::string_view id) const {
  const auto found = std::ranges::find(sets, id, &DisplaySetMemory::id);
  return found == sets.end() ? nullptr : &*found;
}

std::vector<std::string> SetKeys(const Displays& displays) {
  std::vector<std::string> keys;
  for (const Display& d : displays) keys.push_back(d.key.empty() ? d.device_name : d.key);
  std::ranges::sort(keys);
  keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
  return keys;
}

std::string SetId(const std::vector<std::string>& keys) {
  // FNV-1a over the keys, each ended by a NUL: a name, not a secret.
  std::uint64_t hash = 0xcbf29ce484222325u;
  for (const std::string& key : keys) {
    for (const char c : key) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3u;
    hash *= 0x100000001b3u;
  }
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return text;
}

bool Kept(const platform::TopWindowFacts& w, const std::string& image, std::uint32_t own_process,
          const std::vector<std::string>& exclude) {
  if (!w.visible || w.tool_window || w.owned || w.shell) return false;
  if (w.cloaked & (platform::cloaked_by::kApp | platform::cloaked_by::kInherited)) return false;
  if (own_process != 0 && w.process_id == own_process) return false;
  return std::ranges::none_of(exclude,
                              [&](const std::string& name) { return SameName(name, image); });
}

void Bound(DesktopMemory& memory, std::string_view keep) {
  for (DisplaySetMemory& set : memory.sets) {
    if (set.windows.size() > kMaxWindowsPerSet) set.windows.resize(kMaxWindowsPerSet);
  }
  while (memory.sets.size() > kMaxSets) {
    auto oldest = memory.sets.end();
    for (auto s = memory.sets.begin(); s != memory.sets.end(); ++s) {
      if (s->id == keep) continue;
      if (oldest == memory.sets.end() || s->used < oldest->used) oldest = s;
    }
    memory.sets.erase(oldest);
  }
}

std::string ToJson(const DesktopMemory& memory) {
  json::Writer j(true);
  j.Begin('{');
  j.Key("schema").Text(kDesktopSchema);
  j.Key("version").Number(kDesktopSchemaVersion);
  j.Key("clock").Number(static_cast<std::int64_t>(memory.clock));
  j.Key("sets").Begin('[');
  for (const DisplaySetMemory& set : memory.sets) {
    j.Begin('{');
    j.Key("id").Text(set.id);
    j.Key("keys").Begin('[');
    for (const std::string& key : set.keys) j.Text(key);
    j.End(']');
    j.Key("used").Number(static_cast<std::int64_t>(set.used));
    j.Key("layout");
    if (set.layout) {
      json::WriteLayout(j, *set.layout);
    } else {
      j.Null();
    }
    j.Key("windows").Begin('[');
    for (const KeptWindow& w : set.windows) WriteWindow(j, w);
    j.End(']');
    j.End('}');
  }
  j.End(']');
  j.End('}');
  return j.Take() + "\n";
}

Result<DesktopMemory> DesktopMemoryFromJson(std::string_view text) {
  return json::Read(text, [](json::Reader& r) {
    DesktopMemory memory;
    r.Object(
        {r.Schema(kDesktopSchema),
         r.Version(kDesktopSchemaVersion),
         {"clock", [&] { memory.clock = static_cast<std::uint64_t>(r.Integer(0, INT64_MAX)); }},
         {"sets", [&] { r.Array([&] { memory.sets.push_back(ReadSet(r)); }); }}});
    r.End("memory");
    Bound(memory, {});
    return memory;
  });
}

}  // namespace vantrel
