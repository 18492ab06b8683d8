#include "vantrel/displays/json.h"

#include <string>
#include <string_view>
#include <utility>

#include "vantrel/displays/json_writer.h"

namespace vantrel::json {

namespace {

void WriteRect(Writer& j, const Rect& r) {
  j.Begin('{');
  j.Key("left").Number(r.left).Key("top").Number(r.top);
  j.Key("right").Number(r.right).Key("bottom").Number(r.bottom);
  j.Key("width").Number(r.width()).Key("height").Number(r.height());
  j.End('}');
}

void WriteDisplay(Writer& j, const Display& d) {
  j.Begin('{');
  j.Key("number").Number(d.number);
  j.Key("device_name").Text(d.device_name);
  j.Key("name").Text(d.name);
  j.Key("key").Text(d.key);
  j.Key("primary").Bool(d.primary);
  j.Key("bounds");
  WriteRect(j, d.bounds);
  j.Key("work_area");
  WriteRect(j, d.work_area);
  j.Key("dpi").Number(d.dpi);
  j.Key("scale").Real(d.scale());
  j.Key("physical_size_mm");
  if (d.physical_size) {
    j.Begin('{');
    j.Key("width").Number(d.physical_size->width).Key("height").Number(d.physical_size->height);
    j.End('}');
  } else {
    j.Null();
  }
  j.Key("orientation").Number(d.orientation);
  j.Key("bits_per_pixel").Number(d.bits_per_pixel);
  j.Key("refresh_rate").Begin('{');
  j.Key("numerator").Number(d.refresh_rate.numerator);
  j.Key("denominator").Number(d.refresh_rate.denominator);
  j.Key("hertz").Real(d.refresh_rate.hertz());
  j.End('}');
  j.Key("connection").Text(ToString(d.connection));
  j.Key("current_mode");
  WriteMode(j, d.current_mode);
  j.Key("modes").Begin('[');
  for (const DisplayMode& m : d.modes) WriteMode(j, m);
  j.End(']');
  // Added to version 1 after the members above, which stay as they were.
  j.Key("clones").Begin('[');
  for (const Clone& c : d.clones) {
    j.Begin('{');
    j.Key("name").Text(c.name).Key("key").Text(c.key);
    j.End('}');
  }
  j.End(']');
  j.End('}');
}

void WriteDisplays(Writer& j, std::string_view name, const auto& displays) {
  j.Key(name).Begin('[');
  for (const Display& d : displays) WriteDisplay(j, d);
  j.End(']');
}

void WriteFacts(Writer& j, ChangedFacts facts) {
  static constexpr std::pair<ChangedFacts, std::string_view> kNames[] = {
      {ChangedFacts::kBounds, "bounds"},   {ChangedFacts::kWorkArea, "work_area"},
      {ChangedFacts::kScale, "scale"},     {ChangedFacts::kMode, "mode"},
      {ChangedFacts::kPrimary, "primary"}, {ChangedFacts::kOther, "other"},
  };
  j.Begin('[');
  for (const auto& [fact, name] : kNames) {
    if (Any(facts & fact)) j.Text(name);
  }
  j.End(']');
}

Writer Start(bool pretty, std::string_view event) {
  Writer j(pretty);
  j.Begin('{');
  j.Key("schema").Text("vantrel-list");
  j.Key("version").Number(kSchemaVersion);
  if (!event.empty()) j.Key("event").Text(event);
  return j;
}

}  // namespace

std::string Document(const Displays& displays) {
  Writer j = Start(true, {});
  WriteDisplays(j, "displays", displays);
  j.End('}');
  return j.Take() + "\n";
}

std::string SnapshotLine(const Displays& displays) {
  Writer j = Start(false, "displays");
  WriteDisplays(j, "displays", displays);
  j.End('}');
  return j.Take() + "\n";
}

std::string ChangeLine(const DisplayChanges& changes) {
  Writer j = Start(false, "change");
  WriteDisplays(j, "added", changes.added);
  WriteDisplays(j, "removed", changes.removed);
  j.Key("changed").Begin('[');
  for (const DisplayChange& c : changes.changed) {
    j.Begin('{');
    j.Key("key").Text(c.after.key);
    j.Key("facts");
    WriteFacts(j, c.facts);
    j.Key("before");
    WriteDisplay(j, c.before);
    j.Key("after");
    WriteDisplay(j, c.after);
    j.End('}');
  }
  j.End(']');
  WriteDisplays(j, "displays", changes.now);
  j.End('}');
  return j.Take() + "\n";
}

}  // namespace vantrel::json
