// What the console tools' command lines share: "help" asked for anywhere,
// a command word first, then options written --name, --name=value or
// --name value. Portable, so that each tool's parsing is tested natively.
#pragma once

#include <algorithm>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "vantrel/result.h"

namespace vantrel::arguments {

inline Error Bad(std::string message) {
  return {ErrorCode::kInvalidArgument, 0, std::move(message)};
}

// "help" first, or --help, -h or /? anywhere.
inline bool AsksForHelp(std::span<const std::string_view> args) {
  return (!args.empty() && args[0] == "help") || std::ranges::any_of(args, [](std::string_view a) {
           return a == "--help" || a == "-h" || a == "/?";
         });
}

// The command the first argument names, among `commands`; `program` names
// the tool in the message where it names none.
template <typename Command>
Result<Command> CommandOf(std::span<const std::string_view> args,
                          std::span<const std::pair<std::string_view, Command>> commands,
                          std::string_view program) {
  const std::string lists = std::string(program) + " --help lists them";
  if (args.empty()) return Bad("no command; " + lists);
  const auto known =
      std::ranges::find(commands, args[0], &std::pair<std::string_view, Command>::first);
  if (known == commands.end()) {
    return Bad("unknown command \"" + std::string(args[0]) + "\"; " + lists);
  }
  return known->second;
}

struct Option {
  std::string_view name;                  // "--name"
  std::optional<std::string_view> value;  // where it takes one
};

// The option at args[k], which starts with "--", its value taken from after
// its "=" or from the next argument (k then moves on to it). `known` tells
// the options of the command, `takes_value` those that take a value; each
// message begins with `prefix`.
template <typename Known, typename TakesValue>
Result<Option> OptionAt(std::span<const std::string_view> args, std::size_t& k,
                        std::string_view prefix, Known known, TakesValue takes_value) {
  Option o{args[k], std::nullopt};
  if (const auto equals = o.name.find('='); equals != o.name.npos) {
    o.value = o.name.substr(equals + 1);
    o.name = o.name.substr(0, equals);
  }
  const std::string named = std::string(prefix) + std::string(o.name);
  if (!known(o.name)) return Bad(std::string(prefix) + "unknown option " + std::string(o.name));
  const bool wants = takes_value(o.name);
  if (wants && !o.value) {
    if (k + 1 == args.size()) return Bad(named + " needs a value");
    o.value = args[++k];
  }
  if (!wants && o.value) return Bad(named + " takes no value");
  return o;
}

}  // namespace vantrel::arguments
