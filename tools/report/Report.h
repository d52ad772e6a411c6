// A report of sections of fields, printed as aligned text for people or as
// JSON for scripts. Field keys are stable: scripts may rely on them.
#ifndef QUARN_TOOLS_REPORT_REPORT_H
#define QUARN_TOOLS_REPORT_REPORT_H

#include <cstdio>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace quarn_tools {

// A report as canonical JSON, field by field: each value as its compact text
// with the members of every object in byte order of their names (the form
// nlohmann::json writes). The form a bundle records a report in, and the one
// a replay compares: a value costs no more than its text.
struct CanonicalReport {
  std::map<std::string, std::map<std::string, std::string>> sections;  // section, field: text
  std::map<std::string, std::string> members;  // the document's other members: "schema_version", ...
  bool empty() const { return sections.empty() && members.empty(); }
  // The whole document in the same form, in parts.
  void Write(const std::function<void(const std::string&)>& out) const;
  std::string Text() const;
};
inline bool operator==(const CanonicalReport& a, const CanonicalReport& b) {
  return a.sections == b.sections && a.members == b.members;
}

class Report {
 public:
  // The version of the JSON documents quarncfg writes (the report, the
  // check, the fleet view): one vocabulary, raised when a key changes
  // meaning or goes.
  static constexpr int kSchemaVersion = 3;

  explicit Report(int schemaVersion = kSchemaVersion) : m_schemaVersion(schemaVersion) {}

  // Starts a section; its JSON key is the title in lower case.
  void Section(const std::string& title);
  // A field: texts are shown quoted, lists one numbered line per entry,
  // switches as yes/no. `shown` replaces the value in the text form only
  // (one line per "\n").
  void Field(const std::string& key, const std::string& label, nlohmann::ordered_json value,
             const std::string& shown = "");

  // A value of the document's top level, after the sections: in JSON
  // under `key`; the text form prints `lines`, one a line, after the
  // sections (control characters escaped). Printed with every section;
  // with one section only when `withAnySection` (what the whole run says,
  // such as how a replay compares).
  void TopLevel(const std::string& key, nlohmann::ordered_json value, std::vector<std::string> lines,
                bool withAnySection = false);
  // The same with the value given as JSON text, written as it is: a value
  // that may be large is never made a document.
  void TopLevelText(const std::string& key, std::string json, std::vector<std::string> lines,
                    bool withAnySection = false);

  // A list of texts as a field's value, kept as it is given (moved, not
  // copied) and written out one text at a time: a list of a million
  // servers costs what its texts cost.
  void TextsField(const std::string& key, const std::string& label, std::vector<std::string> texts);

  // Whether two section titles name the same section (letter case aside).
  static bool SameTitle(const std::string& a, const std::string& b);

  bool HasSection(const std::string& title) const;

  // Every section, or only the one named `only` (any letter case). Texts
  // are printed as the bytes they are, but for control characters (NUL and
  // DEL among them), which are printed as escapes ("\x1b").
  void PrintText(std::FILE* out, const std::string& only = std::string()) const;
  // {"schema_version", the sections, "undecodable_texts"}, indented by two:
  // every text is UTF-8 (converted from the system's code page on Windows);
  // bytes that do not convert become U+FFFD, and the text's original bytes
  // are given in hexadecimal in "undecodable_texts" under its JSON pointer.
  // Written field by field, each made fit for JSON where it is written.
  void WriteJson(std::FILE* out, const std::string& only = std::string());
  // The same object without "schema_version", as a member of a larger
  // document: its lines after the first begin with `margin`, and it ends
  // without a line end.
  void WriteJsonMembers(std::FILE* out, const std::string& margin);
  // The same document as one value, the report left as it was.
  nlohmann::ordered_json ToJson(const std::string& only = std::string()) const;
  // The same document field by field as canonical JSON (CanonicalReport),
  // the texts made fit for JSON as WriteJson makes them.
  CanonicalReport Canonical(const std::string& only = std::string()) const;

 private:
  struct Entry {
    std::string key, label;
    nlohmann::ordered_json value;
    std::string shown;
    bool isTexts = false;            // the value is `texts`
    std::vector<std::string> texts;  // a TextsField's list
  };
  struct Block {
    std::string title;
    std::vector<Entry> entries;
  };
  struct Top {
    std::string key;
    nlohmann::ordered_json value;
    std::vector<std::string> lines;
    bool withAnySection;
    bool isText = false;  // the value is `text`, JSON as it is
    std::string text;
  };
  bool Selected(const Block& block, const std::string& only) const;
  void WriteJsonObject(std::FILE* out, const std::string& only, const std::string& margin, bool withSchema);
  int m_schemaVersion;
  std::vector<Block> m_blocks;
  std::vector<Top> m_tops;
};

}  // namespace quarn_tools

#endif
