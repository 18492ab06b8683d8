// One display of a layout written as a "vantrel-layout" document holds it:
// what the C interface's plan writes its displays with.
#pragma once

#include "vantrel/displays/json_writer.h"
#include "vantrel/displays/layout.h"

namespace vantrel::json {

void WriteLayoutDisplay(Writer& j, const LayoutDisplay& d);

}  // namespace vantrel::json
