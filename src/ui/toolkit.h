// The thin window-toolkit layer the model and the report window talk to.
// Geometry is in twips (1/1440 inch); the screen says how many twips one pixel
// spans. The Win32 implementation is in win32_toolkit.*; tests use doubles.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace vantrel::ui {

class Object;

// A value of any kind a caller may hand over: nothing, a number, a text, or
// an object (which may be null).
using Value = std::variant<std::monostate, std::int64_t, double, std::string, const Object*>;

// Anything that can be asked for a property by name.
class Object {
 public:
  virtual ~Object() = default;
  // The property's value; nullopt when the object has no such property.
  virtual std::optional<Value> Property(std::string_view name) const = 0;
};

// A window of the process. Sizes and positions in twips; it offers its native
// handle as the property "hwnd".
class Form : public Object {
 public:
  // Outer width and height.
  virtual float Width() const = 0;
  virtual float Height() const = 0;
  // Moves the top-left corner and keeps the size; fails when it cannot.
  virtual void Move(double Left, double Top) = 0;
};

// How many twips one pixel of the screen spans, across and down.
class Screen {
 public:
  virtual ~Screen() = default;
  virtual float TwipsPerPixelX() const = 0;
  virtual float TwipsPerPixelY() const = 0;
};

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

}  // namespace vantrel::ui
