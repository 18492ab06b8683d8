// The process's current one of a port of the platform's seam (its System,
// its event source, its state store): the one a program or a test gave, else
// the running one. One rule for every port.
#pragma once

#include <atomic>

namespace vantrel::platform {

// The port this process runs on: on Windows the system's own; elsewhere one
// with nothing in it. Specialised beside each port's implementations.
template <class Port>
Port& RunningPort() noexcept;

// The one a program or a test gave; null: the running one.
template <class Port>
inline std::atomic<Port*> chosen_port{nullptr};

template <class Port>
Port& CurrentPort() noexcept {
  Port* port = chosen_port<Port>.load();
  return port ? *port : RunningPort<Port>();
}

}  // namespace vantrel::platform
