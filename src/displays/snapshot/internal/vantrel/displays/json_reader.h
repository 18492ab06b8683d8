// The JSON reader of every document the display layer reads (schemas
// "vantrel-layout" and "vantrel-desktop"). A document's reader reads each
// value as the type its field must have and refuses a field it does not
// know before reading its value, so it never descends into anything its
// schema has not got: its depth is the schema's, whatever the text. The
// first fault ends the read with a message saying the line and the field:
// "line 3: displays[1].mode.width: expected an integer".
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include "vantrel/displays/result.h"

namespace vantrel::json {

// The first thing wrong, as the message says it; thrown inside a reader
// only, and caught by Read.
struct Malformed {
  std::string message;
};

// A field's name as an error message shows it: a name of letters, digits
// and underscores as it is, any other quoted and escaped, cut after 40 bytes.
std::string Shown(std::string_view name);

class Reader {
 public:
  explicit Reader(std::string_view text);

  // A field of an object: its name, and what reads its value.
  struct Field {
    std::string_view name;
    std::function<void()> read;
  };
  // An object of exactly `fields`, in any order, each once.
  void Object(std::initializer_list<Field> fields);
  // The fields a document opens with: "schema", which must be `name`, and
  // "version", which must be `version`.
  Field Schema(std::string_view name);
  Field Version(std::int64_t version);

  // An array, each of whose elements `element()` reads.
  template <class Element>
  void Array(Element&& element) {
    if (!Take('[')) Expected("an array");
    if (Take(']')) return;
    std::size_t index = 0;
    do {
      const std::size_t outer = path_.size();
      path_ += '[' + std::to_string(index++) + ']';
      element();
      path_.resize(outer);
    } while (Take(','));
    if (!Take(']')) Expected("',' or ']'");
  }

  std::string Text();
  // An integer as JSON writes it, without fraction or exponent; one past
  // 2^62 in size reads as 2^62, which no field takes either.
  std::int64_t Integer();
  // An integer from `low` to `high`.
  std::int64_t Integer(std::int64_t low, std::int64_t high);
  std::int32_t Int32(std::int64_t low);
  bool Bool();
  // Takes a `null` where one comes: a field whose value may be absent.
  bool Null();
  // Only space may follow the document.
  void End(std::string_view what);

  [[noreturn]] void Expected(std::string_view what) const;
  [[noreturn]] void Fail(std::string_view what) const;

 private:
  void Escape(std::string& out);
  std::uint32_t Hex4();
  bool AtEnd() const { return at_ >= text_.size(); }
  // The next character; NUL at the end, which no caller looks for.
  char Peek() const { return AtEnd() ? '\0' : text_[at_]; }
  void SkipSpace();
  // Takes `c` after any space; false where something else comes.
  bool Take(char c);

  std::string_view text_;
  std::size_t at_ = 0;
  std::size_t line_ = 1;
  std::string path_;  // the field being read, as "displays[1].mode.width"
};

// What `document(reader)` reads from the text, or the first fault as
// ErrorCode::kInvalidArgument.
template <class Document>
auto Read(std::string_view text, Document&& document)
    -> Result<decltype(document(std::declval<Reader&>()))> {
  try {
    Reader reader(text);
    return document(reader);
  } catch (const Malformed& malformed) {
    return Error{ErrorCode::kInvalidArgument, 0, malformed.message};
  }
}

}  // namespace vantrel::json
