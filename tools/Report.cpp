#include "Report.h"

#include <algorithm>
#include <cctype>

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

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

}  // namespace

void Report::Section(const std::string& title) { m_blocks.push_back(Block{title, {}}); }

void Report::Field(const std::string& key, const std::string& label, nlohmann::ordered_json value,
                   const std::string& shown) {
  if (m_blocks.empty()) Section("General");
  m_blocks.back().entries.push_back(Entry{key, label, std::move(value), shown});
}

bool Report::Selected(const Block& block, const std::string& only) const {
  return only.empty() || Lower(block.title) == Lower(only);
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
    std::fprintf(out, "%s\n", block.title.c_str());
    for (const Entry& entry : block.entries) {
      const std::vector<std::string> lines = entry.shown.empty() ? TextLines(entry.value) : SplitLines(entry.shown);
      for (size_t i = 0; i < lines.size(); ++i)
        std::fprintf(out, "  %-*s %s %s\n", static_cast<int>(width), i == 0 ? entry.label.c_str() : "",
                     i == 0 ? ":" : " ", lines[i].c_str());
    }
  }
}

nlohmann::ordered_json Report::Json(const std::string& only) const {
  nlohmann::ordered_json document = nlohmann::ordered_json::object();
  for (const Block& block : m_blocks) {
    if (!Selected(block, only)) continue;
    nlohmann::ordered_json section = nlohmann::ordered_json::object();
    for (const Entry& entry : block.entries) section[entry.key] = entry.value;
    document[Lower(block.title)] = section;
  }
  return document;
}
