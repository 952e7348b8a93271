// A JSON document written as it grows. Whatever is still open when the
// writing stops (damaged data) can be closed, so a partial document stays
// valid.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// `s` as a JSON string, quoted and escaped.
void AppendJson(std::string& out, std::string_view s);

class JsonWriter {
 public:
  // A key is written inside an object and ignored inside an array.
  void BeginObject(std::string_view key = {}) { Open('{', key); }
  void BeginArray(std::string_view key = {}) { Open('[', key); }
  void End();
  void String(std::string_view key, std::string_view value);
  void Number(std::string_view key, long long value);
  void Bool(std::string_view key, bool value);
  // Closes what is open until `depth` objects and arrays remain.
  void CloseTo(std::size_t depth);
  std::size_t Depth() const { return open_.size(); }
  const std::string& Text() const { return text_; }
  // Hands the text written so far to `out` and goes on after it: a long
  // document is written out piece by piece.
  void MoveTextTo(std::string& out) {
    out += text_;
    text_.clear();
  }

 private:
  void Open(char bracket, std::string_view key);
  void Key(std::string_view key);
  std::string text_;
  std::vector<char> open_;
  bool first_ = true;
};
