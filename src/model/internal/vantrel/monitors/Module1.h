// Free functions shared by the model.
#pragma once

#include <string>

namespace vantrel::Module1 {

// The hook for translating the system's own labels; today it returns its text
// unchanged.
std::string Localize(const std::string& s);

}  // namespace vantrel::Module1
