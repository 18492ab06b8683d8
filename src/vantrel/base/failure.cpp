#include "vantrel/base/failure.h"

#include <new>
#include <stdexcept>

namespace vantrel {

const char* Failure::what() const noexcept { return "vantrel::Failure"; }

void Fail(std::int32_t number) { throw Failure(number); }

std::int32_t HandledFailureNumber() noexcept {
  try {
    throw;
  } catch (const Failure& f) {
    return f.number();
  } catch (const std::bad_alloc&) {
    return kOutOfMemory;
  } catch (const std::length_error&) {
    return kOutOfMemory;  // a text too long to build is memory we cannot have
  } catch (...) {
    return kInvalidCall;
  }
}

}  // namespace vantrel
