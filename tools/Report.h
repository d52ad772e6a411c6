// A report of named sections with aligned "label : value" rows.
#ifndef QUARN_TOOLS_REPORT_H
#define QUARN_TOOLS_REPORT_H

#include <cstdio>
#include <string>
#include <vector>

class Report {
 public:
  void Section(const std::string& title);
  // A text, shown in quotes so that empty and blank-edged texts stay visible.
  void Text(const std::string& label, const std::string& value);
  // A number, switch or other plain value, shown as it is.
  void Value(const std::string& label, const std::string& value);
  void Value(const std::string& label, long long value);
  void Switch(const std::string& label, bool value);
  // A list of texts, one numbered line per entry, each quoted.
  void List(const std::string& label, const std::vector<std::string>& values);
  // Numbered lines shown as they are.
  void Lines(const std::string& label, const std::vector<std::string>& lines);

  bool HasSection(const std::string& title) const;
  std::vector<std::string> SectionTitles() const;
  // Prints every section, or only the one named `only` when it is not empty.
  void Print(std::FILE* out, const std::string& only = std::string()) const;

 private:
  struct Row {
    std::string label;
    std::string value;
  };
  struct Block {
    std::string title;
    std::vector<Row> rows;
  };
  void Add(const std::string& label, const std::string& value);

  std::vector<Block> m_blocks;
};

// Case-insensitive match of section titles ("network" finds "Network").
bool SameTitle(const std::string& a, const std::string& b);

#endif
