// What the report window needs of the toolkit beyond the model's: a text box
// and ending the program.
#pragma once

#include <string>
#include <string_view>

namespace report {

class TextBox {
 public:
  virtual ~TextBox() = default;
  // The box's whole current text, as a new text owned by the caller.
  virtual std::string Text() const = 0;
  // Replaces the whole text; the empty text clears it.
  virtual void Text(std::string_view value) = 0;
};

class Application {
 public:
  virtual ~Application() = default;
  // Ends the process at once: no handler runs afterwards, nothing is saved.
  [[noreturn]] virtual void End() = 0;
};

}  // namespace report
