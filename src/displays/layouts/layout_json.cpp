// The layout as JSON, schema "vantrel-layout": written with the display
// layer's one writer, read with its one reader field by field, so that its
// depth is the schema's, four levels, whatever the text.
#include "vantrel/displays/layout_json.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "vantrel/displays/json_reader.h"
#include "vantrel/displays/layout.h"

namespace vantrel {

namespace {

constexpr std::array<std::string_view, 3> kDocumentFields{"schema", "version", "displays"};
constexpr std::array<std::string_view, 7> kDisplayFields{
    "key", "adapter", "attached", "primary", "position", "mode", "orientation"};
constexpr std::array<std::string_view, 2> kPositionFields{"x", "y"};
// As json::WriteMode names them.
constexpr std::array<std::string_view, 4> kModeFields{"width", "height", "bits_per_pixel",
                                                      "frequency"};
constexpr std::array<std::int32_t DisplayMode::*, 4> kModeMembers{
    &DisplayMode::width, &DisplayMode::height, &DisplayMode::bits_per_pixel,
    &DisplayMode::frequency};

std::int32_t Orientation(json::Reader& r) {
  const std::int64_t value = r.Integer();
  if (value != 0 && value != 90 && value != 180 && value != 270) {
    r.Fail("expected 0, 90, 180 or 270");
  }
  return static_cast<std::int32_t>(value);
}

LayoutDisplay ReadDisplay(json::Reader& r) {
  LayoutDisplay d;
  r.Object(kDisplayFields, [&](std::size_t k) {
    switch (k) {
      case 0:
        d.key = r.Text();
        break;
      case 1:
        d.adapter = r.Text();
        break;
      case 2:
        d.attached = r.Bool();
        break;
      case 3:
        d.primary = r.Bool();
        break;
      case 4:
        r.Object(kPositionFields, [&](std::size_t m) {
          (m == 0 ? d.position.x : d.position.y) = r.Int32(INT32_MIN);
        });
        break;
      case 5:
        r.Object(kModeFields, [&](std::size_t m) { d.mode.*kModeMembers[m] = r.Int32(0); });
        break;
      default:
        d.orientation = Orientation(r);
    }
  });
  return d;
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
  r.Object(kDocumentFields, [&](std::size_t k) {
    if (k == 0) {
      if (r.Text() != kLayoutSchema) r.Fail("expected \"vantrel-layout\"");
    } else if (k == 1) {
      if (r.Integer() != kLayoutSchemaVersion) r.Fail("expected 1");
    } else {
      r.Array([&] { layout.displays.push_back(ReadDisplay(r)); });
    }
  });
  return layout;
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
