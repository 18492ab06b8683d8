// A layout as a "vantrel-layout" document, written into a larger document
// (the desktop's memory keeps one a set) and read from one; one display as
// the document holds it, what the C interface's plan writes its displays
// with and its test reads them with.
#pragma once

#include "vantrel/displays/json_reader.h"
#include "vantrel/displays/json_writer.h"
#include "vantrel/displays/layout.h"

namespace vantrel::json {

void WriteLayout(Writer& j, const Layout& layout);
// Fails (Malformed) as LayoutFromJson does.
Layout ReadLayout(Reader& r);
void WriteLayoutDisplay(Writer& j, const LayoutDisplay& d);
// One display as WriteLayoutDisplay writes it.
LayoutDisplay ReadLayoutDisplay(Reader& r);

}  // namespace vantrel::json
