#include "Report.h"

#include <algorithm>
#include <cctype>

namespace {
std::string Quoted(const std::string& text) { return "\"" + text + "\""; }
}  // namespace

bool SameTitle(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

void Report::Section(const std::string& title) { m_blocks.push_back(Block{title, {}}); }

void Report::Add(const std::string& label, const std::string& value) {
  if (m_blocks.empty()) Section("General");
  m_blocks.back().rows.push_back(Row{label, value});
}

void Report::Text(const std::string& label, const std::string& value) { Add(label, Quoted(value)); }

void Report::Value(const std::string& label, const std::string& value) { Add(label, value); }

void Report::Value(const std::string& label, long long value) { Add(label, std::to_string(value)); }

void Report::Switch(const std::string& label, bool value) { Add(label, value ? "yes" : "no"); }

void Report::List(const std::string& label, const std::vector<std::string>& values) {
  std::vector<std::string> quoted;
  for (const std::string& value : values) quoted.push_back(Quoted(value));
  Lines(label, quoted);
}

void Report::Lines(const std::string& label, const std::vector<std::string>& values) {
  if (values.empty()) {
    Add(label, "(none)");
    return;
  }
  for (size_t i = 0; i < values.size(); ++i)
    Add(i == 0 ? label : std::string(), std::to_string(i + 1) + ". " + values[i]);
}

bool Report::HasSection(const std::string& title) const {
  return std::any_of(m_blocks.begin(), m_blocks.end(), [&](const Block& b) { return SameTitle(b.title, title); });
}

std::vector<std::string> Report::SectionTitles() const {
  std::vector<std::string> titles;
  for (const Block& block : m_blocks) titles.push_back(block.title);
  return titles;
}

void Report::Print(std::FILE* out, const std::string& only) const {
  size_t width = 0;
  for (const Block& block : m_blocks)
    for (const Row& row : block.rows) width = std::max(width, row.label.size());
  bool first = true;
  for (const Block& block : m_blocks) {
    if (!only.empty() && !SameTitle(block.title, only)) continue;
    if (!first) std::fputc('\n', out);
    first = false;
    std::fprintf(out, "%s\n", block.title.c_str());
    for (const Row& row : block.rows) {
      const char* colon = row.label.empty() ? " " : ":";
      std::fprintf(out, "  %-*s %s %s\n", static_cast<int>(width), row.label.c_str(), colon, row.value.c_str());
    }
  }
}
