// What of a layout the C interface needs beyond the public headers: a
// snapshot's displays as a layout (layout.cpp), and one display written as a
// "vantrel-layout" document holds it (layout_json.cpp), which the C
// interface's plan writes its displays with.
#pragma once

#include "vantrel/displays/json_writer.h"
#include "vantrel/displays/layout.h"

namespace vantrel {

// A snapshot's displays as a layout: all attached, as TakeLayout reads a
// system that lists no adapters.
Layout LayoutOf(const Displays& displays);

namespace json {
void WriteLayoutDisplay(Writer& j, const LayoutDisplay& d);
}  // namespace json

}  // namespace vantrel
