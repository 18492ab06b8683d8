// Test doubles for the toolkit: a form that records its moves, a screen with
// fixed twips per pixel, and the report window's text box and application.
#pragma once

#include <new>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "report_toolkit.h"
#include "vantrel/base/attempt.h"
#include "vantrel/monitors/toolkit.h"

namespace vantrel::testing_doubles {

struct Moved {
  double left, top;
  friend bool operator==(const Moved&, const Moved&) = default;
  friend std::ostream& operator<<(std::ostream& os, const Moved& m) {
    return os << "Move(" << m.left << ", " << m.top << ")";
  }
};

class FakeForm final : public ui::Form {
 public:
  float width = 0, height = 0;
  std::optional<ui::Value> hwnd;               // the "hwnd" property, when it has one
  std::int32_t property_failure = kNoFailure;  // reading a property fails with it
  std::int32_t move_failure = kNoFailure;
  std::vector<Moved> moves;

  float Width() const override { return width; }
  float Height() const override { return height; }
  void Move(double Left, double Top) override {
    if (move_failure != kNoFailure) Fail(move_failure);
    moves.push_back({Left, Top});
  }
  std::optional<ui::Value> Property(std::string_view name) const override {
    if (property_failure != kNoFailure) Fail(property_failure);
    if (name == "hwnd") return hwnd;
    return std::nullopt;
  }
};

class FakeScreen final : public ui::Screen {
 public:
  FakeScreen(float x, float y) : x_(x), y_(y) {}
  float TwipsPerPixelX() const override { return x_; }
  float TwipsPerPixelY() const override { return y_; }

 private:
  float x_, y_;
};

// A text box that keeps its text, starting with the design text, and can be
// made to refuse the n-th store (counted from 0) as memory running out would.
class FakeTextBox final : public report::TextBox {
 public:
  std::string text = "Text1";
  int stores = 0;
  int fail_store = -1;
  std::string Text() const override { return text; }
  void Text(std::string_view value) override {
    if (stores++ == fail_store) throw std::bad_alloc();
    text = value;
  }
};

// Ending the program throws instead, so a test sees that it was asked.
class FakeApplication final : public report::Application {
 public:
  [[noreturn]] void End() override { throw std::runtime_error("ended"); }
};

}  // namespace vantrel::testing_doubles
