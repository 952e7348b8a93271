#include "resx/json_writer.h"

#include <cstdio>

void AppendJson(std::string& out, std::string_view s) {
  out += '"';
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  out += '"';
}

void JsonWriter::Key(std::string_view key) {
  if (!first_) text_ += ',';
  first_ = false;
  if (!open_.empty() && open_.back() == '{') {
    AppendJson(text_, key);
    text_ += ':';
  }
}

void JsonWriter::Open(char bracket, std::string_view key) {
  Key(key);
  text_ += bracket;
  open_.push_back(bracket);
  first_ = true;
}

void JsonWriter::End() {
  if (open_.empty()) return;
  text_ += open_.back() == '{' ? '}' : ']';
  open_.pop_back();
  first_ = false;
}

void JsonWriter::String(std::string_view key, std::string_view value) {
  Key(key);
  AppendJson(text_, value);
}

void JsonWriter::Number(std::string_view key, long long value) {
  Key(key);
  text_ += std::to_string(value);
}

void JsonWriter::Bool(std::string_view key, bool value) {
  Key(key);
  text_ += value ? "true" : "false";
}

void JsonWriter::CloseTo(std::size_t depth) {
  while (open_.size() > depth) End();
}
