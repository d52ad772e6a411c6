#include "report/Report.h"

#include <algorithm>

#include "report/Terminal.h"
#include "report/Utf8Text.h"

namespace quarn_tools {
namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

void WriteText(std::FILE* out, const std::string& text) { std::fwrite(text.data(), 1, text.size(), out); }

// JSON as it goes out: DEL and C1 inside its strings escaped.
void WriteJsonText(std::FILE* out, const std::string& text) { WriteText(out, TerminalSafeJson(text)); }

// The first (for a list, the only) line of a value in the text form.
std::string TextLine(const nlohmann::ordered_json& value) {
  if (value.is_string()) return Quoted(value.get_ref<const std::string&>());
  if (value.is_boolean()) return value.get<bool>() ? "yes" : "no";
  if (value.is_null()) return "(none)";
  return value.dump();
}

// Each line of a value in the text form, handed to `line` one at a time: a
// list of a million items is printed without a million lines held.
template <typename Line>
void ForEachTextLine(const nlohmann::ordered_json& value, Line line) {
  if (!value.is_array()) return line(TextLine(value));
  if (value.empty()) return line(std::string("(none)"));
  for (size_t i = 0; i < value.size(); ++i)
    line(std::to_string(i + 1) + ". " + (value[i].is_array() ? value[i].dump() : TextLine(value[i])));
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

bool IsAscii(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Texts whose bytes do not convert to UTF-8: each one's JSON pointer and its
// original bytes in hexadecimal, in document order.
using Undecodable = std::vector<std::pair<std::string, std::string>>;

// A text of the system as UTF-8 fit for JSON; where bytes still do not
// convert, the replaced text, with the original bytes kept in `undecodable`
// under the text's pointer.
std::string JsonSafeText(const std::string& raw, const std::string& pointer, Undecodable& undecodable) {
  if (IsAscii(raw)) return raw;  // the same in every code page
  std::string utf8 = Utf8FromSystemText(raw);
  if (IsValidUtf8(utf8)) return utf8;
  undecodable.emplace_back(pointer, HexBytes(raw));
  return ReplaceInvalidUtf8(utf8);  // as JsonTextOf
}

// Every text inside `value` made fit for JSON. Every JSON pointer is made
// once: a value is visited once.
void MakeJsonSafe(nlohmann::ordered_json& value, const std::string& pointer, Undecodable& undecodable) {
  if (value.is_string()) {
    std::string& text = value.get_ref<std::string&>();
    if (!IsAscii(text)) text = JsonSafeText(text, pointer, undecodable);
  } else if (value.is_array()) {
    for (size_t i = 0; i < value.size(); ++i) MakeJsonSafe(value[i], pointer + "/" + std::to_string(i), undecodable);
  } else if (value.is_object()) {
    for (auto& item : value.items()) MakeJsonSafe(item.value(), pointer + "/" + PointerStep(item.key()), undecodable);
  }
}

// Whether a text is written in JSON as it is, between quotes.
bool IsPlainJsonText(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) {
    return static_cast<unsigned char>(c) >= 0x20 && static_cast<unsigned char>(c) < 0x7F && c != '"' && c != '\\';
  });
}

// A list's text fit for JSON, appended to `out` as a JSON string. Its
// pointer is made only for a text that needs one: a list of a million plain
// names costs its names.
void AppendListText(std::string& out, const std::string& text, const std::string& list, std::size_t index,
                    Undecodable& undecodable) {
  if (IsPlainJsonText(text)) {
    AppendJsonString(out, text);
    return;
  }
  AppendJsonString(out, JsonSafeText(text, list + "/" + std::to_string(index), undecodable));
}

// The undecodable texts as a JSON object in document order. An ordered
// object's own insertion looks each key up from its start first: a million
// undecodable server names would cost a million squared.
nlohmann::ordered_json UndecodableObject(Undecodable undecodable) {
  nlohmann::ordered_json object = nlohmann::ordered_json::object();
  nlohmann::ordered_json::object_t& members = object.get_ref<nlohmann::ordered_json::object_t&>();
  members.reserve(undecodable.size());  // an ordered object copies its members as it grows
  for (auto& entry : undecodable) members.emplace_back(std::move(entry.first), std::move(entry.second));
  return object;
}

// Compact JSON text laid out as nlohmann::json's dump(2) lays it out, the
// lines after the first indented by `indent` more: in one pass, the value
// never made a document.
std::string Indented(const std::string& compact, const std::string& indent) {
  std::string out, margin = indent;
  out.reserve(compact.size() + compact.size() / 4);
  bool inString = false;
  for (std::size_t at = 0; at < compact.size(); ++at) {
    const char c = compact[at];
    if (inString) {
      out += c;
      if (c == '\\' && at + 1 < compact.size())
        out += compact[++at];
      else if (c == '"')
        inString = false;
      continue;
    }
    switch (c) {
      case '"':
        inString = true;
        out += c;
        break;
      case '{':
      case '[':
        out += c;
        if (at + 1 < compact.size() && (compact[at + 1] == '}' || compact[at + 1] == ']')) {
          out += compact[++at];
          break;
        }
        margin += "  ";
        out += "\n" + margin;
        break;
      case '}':
      case ']':
        margin.resize(margin.size() - 2);
        out += "\n" + margin + c;
        break;
      case ',':
        out += ",\n" + margin;
        break;
      case ':':
        out += ": ";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// A value as canonical JSON: compact, object members in byte order.
std::string CanonicalText(const nlohmann::ordered_json& value) { return nlohmann::json(value).dump(); }

// The undecodable texts in canonical form: by pointer, in byte order.
std::string CanonicalUndecodable(Undecodable undecodable) {
  std::sort(undecodable.begin(), undecodable.end());
  std::size_t size = 2;
  for (const auto& entry : undecodable) size += entry.first.size() + entry.second.size() + 6;
  std::string text;
  text.reserve(size);
  text += '{';
  for (std::size_t i = 0; i < undecodable.size(); ++i) {
    if (i) text += ',';
    AppendJsonString(text, undecodable[i].first);
    text += ':';
    AppendJsonString(text, undecodable[i].second);
  }
  text += '}';
  return text;
}

}  // namespace

void CanonicalReport::Write(const std::function<void(const std::string&)>& out) const {
  // Sections and the other members, in one byte order of their names.
  auto section = sections.begin();
  auto member = members.begin();
  out("{");
  for (bool first = true; section != sections.end() || member != members.end(); first = false) {
    if (!first) out(",");
    if (member == members.end() || (section != sections.end() && section->first < member->first)) {
      out(nlohmann::json(section->first).dump() + ":{");
      bool firstField = true;
      for (const auto& field : section->second) {
        out((firstField ? "" : ",") + nlohmann::json(field.first).dump() + ":");
        out(field.second);
        firstField = false;
      }
      out("}");
      ++section;
    } else {
      out(nlohmann::json(member->first).dump() + ":");
      out(member->second);
      ++member;
    }
  }
  out("}");
}

std::string CanonicalReport::Text() const {
  std::string text;
  Write([&text](const std::string& part) { text += part; });
  return text;
}

void Report::Section(const std::string& title) { m_blocks.push_back(Block{title, {}}); }

void Report::Field(const std::string& key, const std::string& label, nlohmann::ordered_json value,
                   const std::string& shown) {
  if (m_blocks.empty()) Section("General");
  m_blocks.back().entries.push_back(Entry{key, label, std::move(value), shown, false, {}});
}

void Report::TopLevel(const std::string& key, nlohmann::ordered_json value, std::vector<std::string> lines,
                      bool withAnySection) {
  m_tops.push_back(Top{key, std::move(value), std::move(lines), withAnySection, false, std::string()});
}

void Report::TopLevelText(const std::string& key, std::string json, std::vector<std::string> lines,
                          bool withAnySection) {
  Top top{key, nullptr, std::move(lines), withAnySection, true, std::move(json)};
  m_tops.push_back(std::move(top));
}

void Report::TextsField(const std::string& key, const std::string& label, std::vector<std::string> texts) {
  if (m_blocks.empty()) Section("General");
  Entry entry{key, label, nullptr, "", true, std::move(texts)};
  m_blocks.back().entries.push_back(std::move(entry));
}

bool Report::SameTitle(const std::string& a, const std::string& b) { return AsciiLower(a) == AsciiLower(b); }

bool Report::Selected(const Block& block, const std::string& only) const {
  return only.empty() || SameTitle(block.title, only);
}

bool Report::HasSection(const std::string& title) const {
  return std::any_of(m_blocks.begin(), m_blocks.end(), [&](const Block& b) { return Selected(b, title); });
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
      bool firstLine = true;
      std::string label = entry.label, line;
      label.resize(width, ' ');
      const auto writeLine = [&](const std::string& text) {
        line = "  ";
        if (firstLine)
          line += label + " : ";
        else
          line.append(width + 3, ' ');
        AppendPrintable(line, text);
        line += '\n';
        WriteText(out, line);
        firstLine = false;
      };
      if (entry.isTexts) {
        if (entry.texts.empty()) writeLine("(none)");
        for (size_t i = 0; i < entry.texts.size(); ++i)
          writeLine(std::to_string(i + 1) + ". " + Quoted(entry.texts[i]));
      } else if (entry.shown.empty()) {
        ForEachTextLine(entry.value, writeLine);
      } else {
        for (const std::string& text : SplitLines(entry.shown)) writeLine(text);
      }
    }
  }
  // The top-level lines after a blank line, when there is anything above.
  bool separated = first;
  for (const Top& top : m_tops) {
    if (!only.empty() && !top.withAnySection) continue;
    for (const std::string& text : top.lines) {
      if (!separated) std::fputc('\n', out);
      separated = true;
      std::string line;
      AppendPrintable(line, text);
      WriteText(out, line + "\n");
    }
  }
}

nlohmann::ordered_json Report::ToJson(const std::string& only) const {
  using Json = nlohmann::ordered_json;
  Json document{{"schema_version", m_schemaVersion}};
  Undecodable undecodable;
  for (const Block& block : m_blocks) {
    if (!Selected(block, only)) continue;
    const std::string name = AsciiLower(block.title);
    Json section = Json::object();
    for (const Entry& entry : block.entries) {
      Json value = entry.isTexts ? Json(entry.texts) : entry.value;
      MakeJsonSafe(value, "/" + name + "/" + PointerStep(entry.key), undecodable);
      section[entry.key] = std::move(value);
    }
    document[name] = std::move(section);
  }
  for (const Top& top : m_tops) {
    if (!only.empty() && !top.withAnySection) continue;
    Json value = top.isText ? Json::parse(top.text) : top.value;
    MakeJsonSafe(value, "/" + PointerStep(top.key), undecodable);
    document[top.key] = std::move(value);
  }
  document["undecodable_texts"] = UndecodableObject(std::move(undecodable));
  return document;
}

CanonicalReport Report::Canonical(const std::string& only) const {
  CanonicalReport canonical;
  canonical.members["schema_version"] = std::to_string(m_schemaVersion);
  Undecodable undecodable;
  for (const Block& block : m_blocks) {
    if (!Selected(block, only)) continue;
    const std::string name = AsciiLower(block.title);
    std::map<std::string, std::string>& section = canonical.sections[name];
    for (const Entry& entry : block.entries) {
      const std::string pointer = "/" + name + "/" + PointerStep(entry.key);
      if (!entry.isTexts) {
        nlohmann::ordered_json value = entry.value;
        MakeJsonSafe(value, pointer, undecodable);
        section[entry.key] = CanonicalText(value);
        continue;
      }
      // A list of texts, written one text at a time.
      std::string text = "[";
      for (std::size_t i = 0; i < entry.texts.size(); ++i) {
        if (i) text += ',';
        AppendListText(text, entry.texts[i], pointer, i, undecodable);
      }
      section[entry.key] = text + "]";
    }
  }
  for (const Top& top : m_tops) {
    if (!only.empty() && !top.withAnySection) continue;
    nlohmann::ordered_json value = top.isText ? nlohmann::ordered_json::parse(top.text) : top.value;
    MakeJsonSafe(value, "/" + PointerStep(top.key), undecodable);
    canonical.members[top.key] = CanonicalText(value);
  }
  canonical.members["undecodable_texts"] = CanonicalUndecodable(std::move(undecodable));
  return canonical;
}

void Report::WriteJson(std::FILE* out, const std::string& only) {
  WriteJsonObject(out, only, std::string(), true);
  WriteText(out, "\n");
}

void Report::WriteJsonMembers(std::FILE* out, const std::string& margin) {
  WriteJsonObject(out, std::string(), margin, false);
}

void Report::WriteJsonObject(std::FILE* out, const std::string& only, const std::string& margin, bool withSchema) {
  using Json = nlohmann::ordered_json;
  Undecodable undecodable;
  // A line end of the layout, followed by the margin and `depth` levels.
  const auto line = [&margin](std::size_t depth) { return "\n" + margin + std::string(2 * depth, ' '); };
  // A value dumped as it stands in the document, its lines after the first
  // indented by `indent`.
  const auto dumpAt = [](const Json& value, const std::string& indent) {
    const std::string dumped = value.dump(2);
    std::string shifted;
    shifted.reserve(dumped.size());
    // Inside texts a line end is "\\n": only the layout's are raw.
    for (std::size_t at = 0, end; at < dumped.size(); at = end) {
      end = dumped.find('\n', at);
      end = end == std::string::npos ? dumped.size() : end + 1;
      shifted.append(dumped, at, end - at);
      if (dumped[end - 1] == '\n') shifted += indent;
    }
    return shifted;
  };
  bool first = true;
  const auto member = [&](const std::string& key) {
    std::string text = (first ? "" : ",") + line(1) + Json(key).dump() + ": ";
    first = false;
    return text;
  };
  WriteJsonText(out, "{");
  if (withSchema) WriteJsonText(out, member("schema_version") + std::to_string(m_schemaVersion));
  for (Block& block : m_blocks) {
    if (!Selected(block, only)) continue;
    const std::string name = AsciiLower(block.title);
    WriteJsonText(out, member(name) + "{");
    for (size_t e = 0; e < block.entries.size(); ++e) {
      Entry& entry = block.entries[e];
      const std::string pointer = "/" + name + "/" + PointerStep(entry.key);
      WriteJsonText(out, (e ? "," : "") + line(2) + Json(entry.key).dump() + ": ");
      if (entry.isTexts) {
        // Written in blocks of about 64 KiB, not one write per text.
        std::string block = entry.texts.empty() ? "[]" : "[";
        for (size_t i = 0; i < entry.texts.size(); ++i) {
          block += (i ? "," : "") + line(3);
          AppendListText(block, entry.texts[i], pointer, i, undecodable);
          if (block.size() >= (std::size_t{1} << 16)) {
            WriteJsonText(out, block);
            block.clear();
          }
        }
        if (!entry.texts.empty()) block += line(2) + "]";
        WriteJsonText(out, block);
        entry.texts = std::vector<std::string>();
      } else {
        MakeJsonSafe(entry.value, pointer, undecodable);
        WriteJsonText(out, dumpAt(entry.value, margin + "    "));
        entry.value = nullptr;
      }
    }
    WriteJsonText(out, block.entries.empty() ? "}" : line(1) + "}");
  }
  for (Top& top : m_tops) {
    if (!only.empty() && !top.withAnySection) continue;
    if (top.isText) {  // JSON already, its texts already fit
      WriteJsonText(out, member(top.key) + Indented(top.text, margin + "  "));
      continue;
    }
    MakeJsonSafe(top.value, "/" + PointerStep(top.key), undecodable);
    WriteJsonText(out, member(top.key) + dumpAt(top.value, margin + "  "));
    top.value = nullptr;
  }
  // The undecodable texts last, in blocks: there may be a million.
  std::string block = member("undecodable_texts") + "{";
  for (std::size_t i = 0; i < undecodable.size(); ++i) {
    block += (i ? "," : "") + line(2);
    AppendJsonString(block, undecodable[i].first);
    block += ": ";
    AppendJsonString(block, undecodable[i].second);
    if (block.size() >= (std::size_t{1} << 16)) {
      WriteJsonText(out, block);
      block.clear();
    }
  }
  WriteJsonText(out, block + (undecodable.empty() ? "}" : line(1) + "}") + line(0) + "}");
}

}  // namespace quarn_tools
