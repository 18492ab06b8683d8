// The monitor list as rows to compare in tests: key, name and the four
// figures the report shows.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "vantrel/monitors/clsMonitors.h"

namespace vantrel {

struct Row {
  std::string key;
  std::string name;
  std::int32_t left, top, width, height;
  friend bool operator==(const Row&, const Row&) = default;
  friend std::ostream& operator<<(std::ostream& os, const Row& r) {
    return os << r.key << " '" << r.name << "' (" << r.left << "," << r.top << ") - (" << r.width
              << "," << r.height << ")";
  }
};

inline std::vector<Row> Rows(clsMonitors& list) {
  std::vector<Row> rows;
  const auto c = list.Monitors();
  for (std::int32_t k = 1; k <= c->Count(); ++k) {
    const auto& r = *(*c)(k);
    rows.push_back({c->Key(k), r.Monitor(), r.Left(), r.Top(), r.Width(), r.Height()});
  }
  return rows;
}

}  // namespace vantrel
