#include "bundle/RedactText.h"

#include <algorithm>

#include "config/IniSyntax.h"
#include "config/LayoutRules.h"
#include "config/SettingsRules.h"
#include "lint/NearestKey.h"
#include "lint/ServerItems.h"
#include "report/Utf8Text.h"

namespace quarn_tools {
namespace {

namespace S = quarn::settings;

bool IsWordByte(unsigned char byte) {
  return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') || byte >= 0x80;
}

// Every run of word bytes (letters, digits, bytes beyond ASCII) of `text`
// in [begin, end) replaced, each run by its own pseudonym (so a word has
// one wherever it stands); the rest kept. Returns the runs replaced.
std::size_t ReshapeWords(std::string& out, const std::string& text, std::size_t begin, std::size_t end,
                         const Pseudonyms& pseudonyms) {
  std::size_t words = 0;
  for (std::size_t at = begin; at < end;) {
    if (!IsWordByte(static_cast<unsigned char>(text[at]))) {
      out += text[at++];
      continue;
    }
    std::size_t stop = at;
    while (stop < end && IsWordByte(static_cast<unsigned char>(text[stop]))) ++stop;
    out += pseudonyms.Reshaped(text.substr(at, stop - at));
    ++words;
    at = stop;
  }
  return words;
}

std::string Words(const std::string& text, const Pseudonyms& pseudonyms) {
  std::string out;
  ReshapeWords(out, text, 0, text.size(), pseudonyms);
  return out;
}

// Numbers between dots alike for the check: as many digits, above 255 or
// not, a leading zero or not.
bool NumbersAlike(const std::string& a, const std::string& b) {
  const auto parts = [](const std::string& text) {
    std::vector<std::string> split(1);
    for (char c : text) {
      if (c == '.')
        split.emplace_back();
      else
        split.back().push_back(c);
    }
    return split;
  };
  const std::vector<std::string> x = parts(a), y = parts(b);
  for (std::size_t i = 0; i < x.size(); ++i) {
    const bool big = x[i].size() > 3 || (x[i].size() == 3 && x[i] > "255");
    const bool bigToo = y[i].size() > 3 || (y[i].size() == 3 && y[i] > "255");
    if (big != bigToo || (x[i].size() > 1 && x[i][0] == '0') != (y[i].size() > 1 && y[i][0] == '0')) return false;
  }
  return true;
}

bool IsPublicTopLevelDomain(const std::string& label) {
  static const std::set<std::string> kKept = {
      "com", "net",         "org",  "edu",  "gov",      "mil",     "int",  "info",    "biz",       "local",
      "lan", "localdomain", "home", "corp", "internal", "example", "test", "invalid", "localhost", "intranet"};
  const std::string lower = AsciiLower(label);
  const bool letters = std::all_of(lower.begin(), lower.end(), [](char c) { return c >= 'a' && c <= 'z'; });
  return letters && (lower.size() == 2 || kKept.count(lower) != 0);
}

// A host name, URL or anything else written as a server: its word runs
// replaced but for a scheme before "://", a port after the last ":", and a
// public top-level domain after the last dot.
std::string ShapedServer(const std::string& item, const Pseudonyms& pseudonyms) {
  const std::size_t scheme = item.find("://");
  const std::size_t colon = item.rfind(':');
  const bool port = colon != std::string::npos && colon + 1 < item.size() &&
                    item.find_first_not_of("0123456789", colon + 1) == std::string::npos;
  const std::size_t hostEnd = port ? colon : item.size();
  std::string out;
  for (std::size_t at = 0; at < item.size();) {
    if (!IsWordByte(static_cast<unsigned char>(item[at])) || (port && at > colon)) {
      out += item[at++];
      continue;
    }
    std::size_t stop = at;
    while (stop < item.size() && IsWordByte(static_cast<unsigned char>(item[stop]))) ++stop;
    const std::string run = item.substr(at, stop - at);
    const bool isScheme = scheme != std::string::npos && stop == scheme && at == 0;
    const bool isTopLevel =
        at > 0 && item[at - 1] == '.' && (stop == hostEnd || item[stop] == '/') && IsPublicTopLevelDomain(run);
    out += isScheme || isTopLevel ? run : pseudonyms.Reshaped(run);
    at = stop;
  }
  return out;
}

// The library's own default servers: the maker's, not the customer's.
const std::set<std::string>& DefaultServers() {
  static const std::set<std::string> servers = [] {
    std::set<std::string> items;
    for (std::size_t r = 0; r < S::kSettingCount; ++r)
      if (S::Setting(r).list)
        for (const std::string& item : S::SplitList(S::Setting(r).textDefault)) items.insert(item);
    return items;
  }();
  return servers;
}

const std::vector<std::string>& KnownKeys() {
  static const std::vector<std::string> keys = [] {
    std::vector<std::string> names;
    for (std::size_t r = 0; r < S::kSettingCount; ++r) names.emplace_back(S::Setting(r).key);
    return names;
  }();
  return keys;
}

bool ReadsWholeBoolean(const std::string& value) {
  static const std::set<std::string> kWords = {"1", "0", "true", "false", "yes", "no", "on", "off"};
  return kWords.count(AsciiLower(value)) != 0;
}

}  // namespace

bool PathRedaction::Kept(const std::string& name) const {
  static const std::set<std::string> kLayout = {
      ".", "..", "", "client", "bin", quarn::layout::kConfDirName, quarn::layout::kDataDirName,
      quarn::layout::kGlobalCfgDirName, quarn::layout::kUpdateDirName, quarn::layout::kSettingsFileName,
      quarn::layout::kOverrideFileName, quarn::layout::kUpdateVersionFileName, quarn::layout::kUpdateExeName,
      quarn::layout::kUpdatePidFileName, quarn::layout::kUpdateCommandFileName,
      // The system's own folders name nobody.
      "program files", "program files (x86)", "programdata", "windows", "users", "home", "opt", "usr", "local", "var",
      "tmp", "temp", "srv"};
  return kLayout.count(name) || (m_style.windows && kLayout.count(AsciiLower(name)));
}

std::string PathRedaction::Path(const std::string& path) {
  std::string out;
  std::size_t at = 0;
  if (m_style.windows && path.size() >= 2 && path[1] == ':' && IsWordByte(static_cast<unsigned char>(path[0])) &&
      static_cast<unsigned char>(path[0]) < 0x80) {
    out = path.substr(0, 2);  // a drive
    at = 2;
  }
  const auto isSeparator = [this](char c) { return c == '/' || (m_style.windows && c == '\\'); };
  const auto kept = [this](const std::string& name) { return Kept(name); };
  while (at < path.size()) {
    if (isSeparator(path[at])) {
      out += path[at++];
      continue;
    }
    std::size_t stop = at;
    while (stop < path.size() && !isSeparator(path[stop])) {
      const bool lead = m_style.windows && m_style.leadBytes.find(path[stop]) != std::string::npos;
      stop += lead && stop + 1 < path.size() ? 2 : 1;  // a trail byte is no separator
    }
    stop = std::min(stop, path.size());
    const std::string name = path.substr(at, stop - at);
    if (Kept(name)) {
      m_log.Keep("path folder", name, "the agent's own layout or the system's own folders: the same everywhere");
      out += name;
    } else {
      out += m_pseudonyms.Reshaped(name, kept);
      m_log.Replaced("path folders");
    }
    if (out != path.substr(0, stop)) m_prefixes[path.substr(0, stop)] = out;
    at = stop;
  }
  return out;
}

std::vector<std::pair<std::string, std::string>> PathRedaction::Prefixes() const {
  std::vector<std::pair<std::string, std::string>> prefixes(m_prefixes.begin(), m_prefixes.end());
  std::stable_sort(prefixes.begin(), prefixes.end(),
                   [](const std::pair<std::string, std::string>& a, const std::pair<std::string, std::string>& b) {
                     return a.first.size() > b.first.size();
                   });
  return prefixes;
}

std::string ReplacePrefixes(const std::string& text, const std::vector<std::pair<std::string, std::string>>& prefixes) {
  if (prefixes.empty()) return text;
  const auto isEnd = [&text](std::size_t at) {
    return at >= text.size() || !IsWordByte(static_cast<unsigned char>(text[at])) || text[at] == '/' ||
           text[at] == '\\';
  };
  std::string out;
  for (std::size_t at = 0; at < text.size();) {
    bool replaced = false;
    for (const auto& prefix : prefixes) {
      if (prefix.first.empty() || text.compare(at, prefix.first.size(), prefix.first) != 0 ||
          !isEnd(at + prefix.first.size()) || !(at == 0 || isEnd(at - 1)))
        continue;
      out += prefix.second;
      at += prefix.first.size();
      replaced = true;
      break;
    }
    if (!replaced) out += text[at++];
  }
  return out;
}

std::string ServerPseudonym(const std::string& item, const Pseudonyms& pseudonyms) {
  if (item.empty() || DefaultServers().count(item)) return item;
  if (item.find_first_not_of("0123456789.") == std::string::npos) {
    if (IsIpv4Address(item)) return pseudonyms.Address(item);
    return pseudonyms.Reshaped(item, [&item](const std::string& made) { return !NumbersAlike(item, made); });
  }
  if (std::count(item.begin(), item.end(), ':') >= 2 &&
      item.find_first_not_of("0123456789abcdefABCDEF:.") == std::string::npos)
    return pseudonyms.HexReshaped(item);
  // Each label goes one step further round its cycle while the whole would
  // be a default server.
  std::string made = ShapedServer(item, pseudonyms);
  for (int step = 0; step < 64 && DefaultServers().count(made); ++step) made = ShapedServer(made, pseudonyms);
  return made;
}

namespace {

// What to do with a span of a settings file: keep it, or write it anew.
struct Edit {
  std::size_t begin, end;
  bool keep;
  std::string text;  // when not kept
};

// A known key's value by its kind: a number or switch that reads whole
// stays; one that does not keeps what the reader and the check make of it.
Edit ValueEdit(const S::SettingRow& row, const std::string& value, S::IniSpan span, const Pseudonyms& pseudonyms,
               std::map<std::string, std::string>& servers, RedactionLog& log) {
  if (row.kind == S::Kind::kInteger) {
    const S::IntegerReading read = S::InterpretInteger(value.c_str(), row.numberDefault);
    const bool whole = read.origin == S::Origin::kFile && !value.empty();
    if (whole) {
      log.Keep(row.key, value, "an integer setting that reads whole");
      return {span.begin, span.end, true, std::string()};
    }
    const auto unlike = [&](const std::string& made) {
      return S::InterpretInteger(made.c_str(), row.numberDefault).origin != read.origin;
    };
    log.Replaced("settings values");
    return {span.begin, span.end, false, pseudonyms.Reshaped(value, unlike)};
  }
  if (row.kind == S::Kind::kBoolean) {
    if (ReadsWholeBoolean(value)) {
      log.Keep(row.key, value, "a switch that reads whole");
      return {span.begin, span.end, true, std::string()};
    }
    const S::BooleanReading read = S::InterpretBoolean(value.c_str(), row.numberDefault != 0);
    const auto unlike = [&](const std::string& made) {
      const S::BooleanReading again = S::InterpretBoolean(made.c_str(), row.numberDefault != 0);
      return again.origin != read.origin || again.value != read.value || ReadsWholeBoolean(made);
    };
    log.Replaced("settings values");
    return {span.begin, span.end, false, pseudonyms.Reshaped(value, unlike)};
  }
  if (!row.list) {
    log.Replaced("settings values");
    return {span.begin, span.end, false, Words(value, pseudonyms)};
  }
  // Items split at every "|", so the separators stay as written; one
  // repeated is made once.
  std::string made;
  for (std::size_t start = 0, at = 0; at <= value.size(); ++at) {
    if (at < value.size() && value[at] != '|') continue;
    const std::string server = value.substr(start, at - start);
    const auto known = servers.find(server);
    const std::string pseudonym = known != servers.end() ? known->second : ServerPseudonym(server, pseudonyms);
    if (pseudonym != server) {
      servers.emplace(server, pseudonym);
      log.Replaced("server names");
    } else if (!server.empty()) {
      log.Keep(row.key, server, "one of the library's own default servers");
    }
    made += pseudonym;
    if (at < value.size()) made += '|';
    start = at + 1;
  }
  return {span.begin, span.end, false, made};
}

// The spans of one key: a known name stays (and a near miss of one, which
// the check names with the key it means); another becomes its pseudonym,
// never a known key nor a near miss of one.
void KeySpans(const std::string& content, const S::IniItem& item, const Pseudonyms& pseudonyms,
              std::map<std::string, std::string>& servers, RedactionLog& log, std::vector<Edit>& edits) {
  const std::string name = content.substr(item.key.begin, item.key.size());
  const std::string value = content.substr(item.value.begin, item.value.size());
  const S::SettingRow* row = S::FindSetting(name);
  if (row) {
    edits.push_back({item.key.begin, item.key.end, true, std::string()});
    edits.push_back(ValueEdit(*row, value, item.value, pseudonyms, servers, log));
    return;
  }
  const std::string nearest = NearestKnownKey(name, KnownKeys());
  if (!nearest.empty()) {
    log.Keep("settings key", name, "a near miss of \"" + nearest + "\": the check names the key it means");
    edits.push_back({item.key.begin, item.key.end, true, std::string()});
  } else {
    const auto known = [](const std::string& made) {
      return S::FindSetting(made) || !NearestKnownKey(made, KnownKeys()).empty();
    };
    edits.push_back({item.key.begin, item.key.end, false, pseudonyms.Reshaped(name, known)});
    log.Replaced("unknown keys' names");
  }
  edits.push_back({item.value.begin, item.value.end, false, Words(value, pseudonyms)});
  log.Replaced("unknown keys' values", !value.empty());
}

}  // namespace

std::string RedactSettingsText(const std::string& content, const Pseudonyms& pseudonyms,
                               std::map<std::string, std::string>& servers, RedactionLog& log) {
  std::vector<Edit> edits;
  if (content.compare(0, 3, "\xEF\xBB\xBF") == 0) edits.push_back({0, 3, true, std::string()});
  // Past a NUL byte the reader never gets; the check names what is there
  // all the same, so it is redacted by the same rules.
  const S::IniVisitor visit = [&](const S::IniItem& item) {
    if (item.kind == S::IniItem::Kind::kKey) KeySpans(content, item, pseudonyms, servers, log, edits);
  };
  for (std::size_t at = S::WalkIni(content, visit).end; at < content.size();)
    at = S::WalkIniFrom(content, at + 1, visit).end;
  std::sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) { return a.begin < b.begin; });
  std::string out;
  out.reserve(content.size());
  std::size_t at = 0, words = 0;
  for (const Edit& edit : edits) {
    if (edit.begin < at) continue;  // spans never overlap; a guard all the same
    words += ReshapeWords(out, content, at, edit.begin, pseudonyms);
    out += edit.keep ? content.substr(edit.begin, edit.end - edit.begin) : edit.text;
    at = edit.end;
  }
  words += ReshapeWords(out, content, at, content.size(), pseudonyms);
  log.Replaced("settings files' other words (comments, sections, passed-over lines)", words);
  return out;
}

std::string RedactUpdaterRecord(const std::string& content, const Pseudonyms& pseudonyms, RedactionLog& log) {
  const std::size_t lineEnd = std::min(content.find('\n'), content.size());
  if (lineEnd > 0)
    log.Keep("updater version", content.substr(0, lineEnd), "the updater's release, which the library reads");
  std::string out = content.substr(0, lineEnd);
  log.Replaced("updater record's other words", ReshapeWords(out, content, lineEnd, content.size(), pseudonyms));
  return out;
}

}  // namespace quarn_tools
