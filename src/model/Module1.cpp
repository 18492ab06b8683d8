#include "vantrel/monitors/Module1.h"

namespace vantrel::Module1 {

std::string Localize(const std::string& s) { return s; }

}  // namespace vantrel::Module1
