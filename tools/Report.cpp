#include "Report.h"

#include <algorithm>
#include <cctype>

#include "Utf8Text.h"
#include "platform/SystemText.h"

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// A line of the text form as it goes to the reader's terminal: control
// characters (C0, DEL; NUL too) as escapes such as "\x1b", so that no text
// of a file can move the cursor, change colours or cut the line; every
// other byte as it is.
std::string Printable(const std::string& line) {
  std::string shown;
  shown.reserve(line.size());
  for (char c : line) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      static const char kHex[] = "0123456789abcdef";
      shown += "\\x";
      shown += kHex[byte >> 4];
      shown += kHex[byte & 0xF];
    } else {
      shown += c;
    }
  }
  return shown;
}

void WriteText(std::FILE* out, const std::string& text) { std::fwrite(text.data(), 1, text.size(), out); }

// The lines of a value in the text form.
std::vector<std::string> TextLines(const nlohmann::ordered_json& value) {
  if (value.is_string()) return {Quoted(value.get<std::string>())};
  if (value.is_boolean()) return {value.get<bool>() ? "yes" : "no"};
  if (value.is_null()) return {"(none)"};
  if (value.is_array()) {
    if (value.empty()) return {"(none)"};
    std::vector<std::string> lines;
    for (size_t i = 0; i < value.size(); ++i)
      lines.push_back(std::to_string(i + 1) + ". " + TextLines(value[i]).front());
    return lines;
  }
  return {value.dump()};
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string::size_type start = 0, end;
  while ((end = text.find('\n', start)) != std::string::npos) {
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  lines.push_back(text.substr(start));
  return lines;
}

// One step of a JSON pointer: "~" and "/" escaped.
std::string PointerStep(const std::string& key) {
  std::string step;
  for (char c : key) {
    if (c == '~')
      step += "~0";
    else if (c == '/')
      step += "~1";
    else
      step += c;
  }
  return step;
}

// Every text inside `value` as UTF-8 fit for JSON; where bytes still do not
// convert, the replaced text stays in place and the original bytes go to
// `undecodable` in hexadecimal, under the text's JSON pointer.
void MakeJsonSafe(nlohmann::ordered_json& value, const std::string& pointer, nlohmann::ordered_json& undecodable) {
  if (value.is_string()) {
    const std::string raw = value.get<std::string>();
    const std::string utf8 = quarn_tools::Utf8FromSystemText(raw);
    if (quarn_tools::IsValidUtf8(utf8)) {
      value = utf8;
    } else {
      value = quarn_tools::ReplaceInvalidUtf8(utf8);
      undecodable[pointer] = quarn_tools::HexBytes(raw);
    }
  } else if (value.is_array()) {
    for (size_t i = 0; i < value.size(); ++i) MakeJsonSafe(value[i], pointer + "/" + std::to_string(i), undecodable);
  } else if (value.is_object()) {
    for (auto& item : value.items()) MakeJsonSafe(item.value(), pointer + "/" + PointerStep(item.key()), undecodable);
  }
}

}  // namespace

void Report::Section(const std::string& title) { m_blocks.push_back(Block{title, {}}); }

void Report::Field(const std::string& key, const std::string& label, nlohmann::ordered_json value,
                   const std::string& shown) {
  if (m_blocks.empty()) Section("General");
  m_blocks.back().entries.push_back(Entry{key, label, std::move(value), shown});
}

bool Report::SameTitle(const std::string& a, const std::string& b) { return Lower(a) == Lower(b); }

bool Report::Selected(const Block& block, const std::string& only) const {
  return only.empty() || SameTitle(block.title, only);
}

bool Report::HasSection(const std::string& title) const {
  return std::any_of(m_blocks.begin(), m_blocks.end(), [&](const Block& b) { return Selected(b, title); });
}

std::vector<std::string> Report::SectionTitles() const {
  std::vector<std::string> titles;
  for (const Block& block : m_blocks) titles.push_back(block.title);
  return titles;
}

void Report::PrintText(std::FILE* out, const std::string& only) const {
  size_t width = 0;
  for (const Block& block : m_blocks)
    for (const Entry& entry : block.entries) width = std::max(width, entry.label.size());
  bool first = true;
  for (const Block& block : m_blocks) {
    if (!Selected(block, only)) continue;
    if (!first) std::fputc('\n', out);
    first = false;
    WriteText(out, block.title + "\n");
    for (const Entry& entry : block.entries) {
      const std::vector<std::string> lines = entry.shown.empty() ? TextLines(entry.value) : SplitLines(entry.shown);
      for (size_t i = 0; i < lines.size(); ++i) {
        std::string label = i == 0 ? entry.label : std::string();
        label.resize(width, ' ');
        WriteText(out, "  " + label + (i == 0 ? " : " : "   ") + Printable(lines[i]) + "\n");
      }
    }
  }
}

nlohmann::ordered_json Report::Json(const std::string& only) const {
  nlohmann::ordered_json document = nlohmann::ordered_json::object();
  document["schema_version"] = kSchemaVersion;
  nlohmann::ordered_json undecodable = nlohmann::ordered_json::object();
  for (const Block& block : m_blocks) {
    if (!Selected(block, only)) continue;
    const std::string name = Lower(block.title);
    nlohmann::ordered_json section = nlohmann::ordered_json::object();
    for (const Entry& entry : block.entries) {
      nlohmann::ordered_json value = entry.value;
      MakeJsonSafe(value, "/" + name + "/" + PointerStep(entry.key), undecodable);
      section[entry.key] = std::move(value);
    }
    document[name] = std::move(section);
  }
  document["undecodable_texts"] = std::move(undecodable);
  return document;
}
