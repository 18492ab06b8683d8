// The layout as JSON, schema "vantrel-layout": written with the display
// layer's one writer, read with its one reader field by field, so that its
// depth is the schema's, four levels, whatever the text.
#include "vantrel/displays/layout_json.h"

#include <cstdint>
#include <string>
#include <string_view>

#include "vantrel/displays/json_reader.h"
#include "vantrel/displays/layout.h"

namespace vantrel {

namespace {

std::int32_t Orientation(json::Reader& r) {
  const std::int64_t value = r.Integer();
  if (value != 0 && value != 90 && value != 180 && value != 270) {
    r.Fail("expected 0, 90, 180 or 270");
  }
  return static_cast<std::int32_t>(value);
}

}  // namespace

std::string ToJson(const Layout& layout) {
  json::Writer j(true);
  json::WriteLayout(j, layout);
  return j.Take() + "\n";
}

Result<Layout> LayoutFromJson(std::string_view text) {
  return json::Read(text, [](json::Reader& r) {
    Layout layout = json::ReadLayout(r);
    r.End("layout");
    return layout;
  });
}

namespace json {

void WriteLayout(Writer& j, const Layout& layout) {
  j.Begin('{');
  j.Key("schema").Text(kLayoutSchema);
  j.Key("version").Number(kLayoutSchemaVersion);
  j.Key("displays").Begin('[');
  for (const LayoutDisplay& d : layout.displays) WriteLayoutDisplay(j, d);
  j.End(']');
  j.End('}');
}

Layout ReadLayout(Reader& r) {
  Layout layout;
  r.Object(
      {r.Schema(kLayoutSchema),
       r.Version(kLayoutSchemaVersion),
       {"displays", [&] { r.Array([&] { layout.displays.push_back(ReadLayoutDisplay(r)); }); }}});
  return layout;
}

LayoutDisplay ReadLayoutDisplay(Reader& r) {
  LayoutDisplay d;
  // The mode's names as json::WriteMode writes them.
  const auto mode = [&] {
    r.Object({{"width", [&] { d.mode.width = r.Int32(0); }},
              {"height", [&] { d.mode.height = r.Int32(0); }},
              {"bits_per_pixel", [&] { d.mode.bits_per_pixel = r.Int32(0); }},
              {"frequency", [&] { d.mode.frequency = r.Int32(0); }}});
  };
  r.Object({{"key", [&] { d.key = r.Text(); }},
            {"adapter", [&] { d.adapter = r.Text(); }},
            {"attached", [&] { d.attached = r.Bool(); }},
            {"primary", [&] { d.primary = r.Bool(); }},
            {"position",
             [&] {
               r.Object({{"x", [&] { d.position.x = r.Int32(INT32_MIN); }},
                         {"y", [&] { d.position.y = r.Int32(INT32_MIN); }}});
             }},
            {"mode", mode},
            {"orientation", [&] { d.orientation = Orientation(r); }}});
  return d;
}

void WriteLayoutDisplay(Writer& j, const LayoutDisplay& d) {
  j.Begin('{');
  j.Key("key").Text(d.key);
  j.Key("adapter").Text(d.adapter);
  j.Key("attached").Bool(d.attached);
  j.Key("primary").Bool(d.primary);
  j.Key("position").Begin('{');
  j.Key("x").Number(d.position.x).Key("y").Number(d.position.y);
  j.End('}');
  j.Key("mode");
  WriteMode(j, d.mode);
  j.Key("orientation").Number(d.orientation);
  j.End('}');
}

}  // namespace json

}  // namespace vantrel
