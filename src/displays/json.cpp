#include "vantrel/displays/json.h"

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vantrel::json {

namespace {

// Builds JSON text: values in order, separated and indented as they come.
// Names and texts are escaped; text that is not UTF-8 is repaired (each bad
// byte becomes U+FFFD), so the document is always valid JSON.
class Writer {
 public:
  explicit Writer(bool pretty) : pretty_(pretty) {}

  Writer& Begin(char bracket) {
    Value();
    out_ += bracket;
    first_.push_back(true);
    return *this;
  }
  Writer& End(char bracket) {
    const bool empty = first_.back();
    first_.pop_back();
    if (!empty) NewLine();
    out_ += bracket;
    return *this;
  }
  Writer& Key(std::string_view name) {
    Separate();
    String(name);
    out_ += pretty_ ? ": " : ":";
    after_key_ = true;
    return *this;
  }
  Writer& Text(std::string_view text) {
    Value();
    String(text);
    return *this;
  }
  Writer& Number(std::int64_t v) {
    Value();
    out_ += std::to_string(v);
    return *this;
  }
  Writer& Real(double v) {
    Value();
    char buffer[32];
    // Shortest text that reads back as the same double, whatever the locale.
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, v).ptr;
    out_.append(buffer, end);
    return *this;
  }
  Writer& Bool(bool v) {
    Value();
    out_ += v ? "true" : "false";
    return *this;
  }
  Writer& Null() {
    Value();
    out_ += "null";
    return *this;
  }
  std::string Take() { return std::move(out_); }

 private:
  void Value() {
    if (after_key_) {
      after_key_ = false;
      return;
    }
    if (!first_.empty()) Separate();
  }
  void Separate() {
    if (!first_.back()) out_ += ',';
    first_.back() = false;
    NewLine();
  }
  void NewLine() {
    if (!pretty_) return;
    out_ += '\n';
    out_.append(2 * first_.size(), ' ');
  }
  void String(std::string_view s) {
    out_ += '"';
    for (std::size_t k = 0; k < s.size();) {
      const auto c = static_cast<unsigned char>(s[k]);
      if (c == '"' || c == '\\') {
        out_ += '\\';
        out_ += static_cast<char>(c);
      } else if (c < 0x20) {
        static constexpr char kHex[] = "0123456789abcdef";
        out_ += "\\u00";
        out_ += kHex[c >> 4];
        out_ += kHex[c & 15];
      } else if (c >= 0x80) {
        const std::size_t n = Utf8Length(s.substr(k));
        if (n == 0) {
          out_ += "\xef\xbf\xbd";  // U+FFFD
          ++k;
          continue;
        }
        out_.append(s.substr(k, n));
        k += n;
        continue;
      } else {
        out_ += static_cast<char>(c);
      }
      ++k;
    }
    out_ += '"';
  }
  // The length of the well-formed UTF-8 sequence s starts with, or 0.
  static std::size_t Utf8Length(std::string_view s) {
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = b(0);
    std::size_t n = 0;
    unsigned char low = 0x80, high = 0xbf;  // the range of the second byte
    if (lead >= 0xc2 && lead <= 0xdf) {
      n = 2;
    } else if (lead >= 0xe0 && lead <= 0xef) {
      n = 3;
      if (lead == 0xe0) low = 0xa0;   // no overlong forms
      if (lead == 0xed) high = 0x9f;  // no surrogates
    } else if (lead >= 0xf0 && lead <= 0xf4) {
      n = 4;
      if (lead == 0xf0) low = 0x90;
      if (lead == 0xf4) high = 0x8f;  // nothing past U+10FFFF
    } else {
      return 0;
    }
    if (s.size() < n || b(1) < low || b(1) > high) return 0;
    for (std::size_t k = 2; k < n; ++k) {
      if (b(k) < 0x80 || b(k) > 0xbf) return 0;
    }
    return n;
  }

  bool pretty_;
  bool after_key_ = false;
  std::vector<bool> first_;  // per open object or array: nothing in it yet
  std::string out_;
};

void WriteRect(Writer& j, const Rect& r) {
  j.Begin('{');
  j.Key("left").Number(r.left).Key("top").Number(r.top);
  j.Key("right").Number(r.right).Key("bottom").Number(r.bottom);
  j.Key("width").Number(r.width()).Key("height").Number(r.height());
  j.End('}');
}

void WriteMode(Writer& j, const DisplayMode& m) {
  j.Begin('{');
  j.Key("width").Number(m.width).Key("height").Number(m.height);
  j.Key("bits_per_pixel").Number(m.bits_per_pixel).Key("frequency").Number(m.frequency);
  j.End('}');
}

void WriteDisplay(Writer& j, const Display& d) {
  j.Begin('{');
  j.Key("number").Number(d.number);
  j.Key("device_name").Text(d.device_name);
  j.Key("name").Text(d.name);
  j.Key("key").Text(d.key);
  j.Key("primary").Bool(d.primary);
  j.Key("bounds");
  WriteRect(j, d.bounds);
  j.Key("work_area");
  WriteRect(j, d.work_area);
  j.Key("dpi").Number(d.dpi);
  j.Key("scale").Real(d.scale());
  j.Key("physical_size_mm");
  if (d.physical_size) {
    j.Begin('{');
    j.Key("width").Number(d.physical_size->width).Key("height").Number(d.physical_size->height);
    j.End('}');
  } else {
    j.Null();
  }
  j.Key("orientation").Number(d.orientation);
  j.Key("bits_per_pixel").Number(d.bits_per_pixel);
  j.Key("refresh_rate").Begin('{');
  j.Key("numerator").Number(d.refresh_rate.numerator);
  j.Key("denominator").Number(d.refresh_rate.denominator);
  j.Key("hertz").Real(d.refresh_rate.hertz());
  j.End('}');
  j.Key("connection").Text(ToString(d.connection));
  j.Key("current_mode");
  WriteMode(j, d.current_mode);
  j.Key("modes").Begin('[');
  for (const DisplayMode& m : d.modes) WriteMode(j, m);
  j.End(']');
  j.End('}');
}

void WriteDisplays(Writer& j, std::string_view name, const auto& displays) {
  j.Key(name).Begin('[');
  for (const Display& d : displays) WriteDisplay(j, d);
  j.End(']');
}

void WriteFacts(Writer& j, ChangedFacts facts) {
  static constexpr std::pair<ChangedFacts, std::string_view> kNames[] = {
      {ChangedFacts::kBounds, "bounds"},   {ChangedFacts::kWorkArea, "work_area"},
      {ChangedFacts::kScale, "scale"},     {ChangedFacts::kMode, "mode"},
      {ChangedFacts::kPrimary, "primary"}, {ChangedFacts::kOther, "other"},
  };
  j.Begin('[');
  for (const auto& [fact, name] : kNames) {
    if (Any(facts & fact)) j.Text(name);
  }
  j.End(']');
}

Writer Start(bool pretty, std::string_view event) {
  Writer j(pretty);
  j.Begin('{');
  j.Key("schema").Text("vantrel-list");
  j.Key("version").Number(kSchemaVersion);
  if (!event.empty()) j.Key("event").Text(event);
  return j;
}

}  // namespace

std::string Document(const Displays& displays) {
  Writer j = Start(true, {});
  WriteDisplays(j, "displays", displays);
  j.End('}');
  return j.Take() + "\n";
}

std::string SnapshotLine(const Displays& displays) {
  Writer j = Start(false, "displays");
  WriteDisplays(j, "displays", displays);
  j.End('}');
  return j.Take() + "\n";
}

std::string ChangeLine(const DisplayChanges& changes) {
  Writer j = Start(false, "change");
  WriteDisplays(j, "added", changes.added);
  WriteDisplays(j, "removed", changes.removed);
  j.Key("changed").Begin('[');
  for (const DisplayChange& c : changes.changed) {
    j.Begin('{');
    j.Key("key").Text(c.after.key);
    j.Key("facts");
    WriteFacts(j, c.facts);
    j.Key("before");
    WriteDisplay(j, c.before);
    j.Key("after");
    WriteDisplay(j, c.after);
    j.End('}');
  }
  j.End(']');
  WriteDisplays(j, "displays", changes.now);
  j.End('}');
  return j.Take() + "\n";
}

}  // namespace vantrel::json
