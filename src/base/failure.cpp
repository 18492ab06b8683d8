#include "vantrel/base/failure.h"

#include "vantrel/base/attempt.h"

namespace vantrel {

const char* Failure::what() const noexcept { return "vantrel::Failure"; }

void Fail(std::int32_t number, std::uint32_t system_error) { throw Failure(number, system_error); }

}  // namespace vantrel
