#include "bundle/RedactText.h"

#include <algorithm>
#include <set>

#include "config/IniSyntax.h"
#include "config/LayoutRules.h"
#include "config/SettingsRules.h"
#include "lint/ServerItems.h"

namespace quarn_tools {
namespace {

namespace S = quarn::settings;

bool IsWordByte(unsigned char byte) {
  return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') || byte >= 0x80;
}

std::string AsciiLower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

// Every run of word bytes (letters, digits, bytes beyond ASCII) of `text`
// in [begin, end) replaced, each run by its own pseudonym; the rest kept.
void ReshapeWords(std::string& out, const std::string& text, std::size_t begin, std::size_t end, const char* kind,
                  const Pseudonyms& pseudonyms) {
  for (std::size_t at = begin; at < end;) {
    if (!IsWordByte(static_cast<unsigned char>(text[at]))) {
      out += text[at++];
      continue;
    }
    std::size_t stop = at;
    while (stop < end && IsWordByte(static_cast<unsigned char>(text[stop]))) ++stop;
    out += pseudonyms.Reshaped(kind, text.substr(at, stop - at));
    at = stop;
  }
}

// Digits and dots that are no address: each number keeps its digits' count
// and whether it is above 255, so the check sees the same fault.
std::string DottedPseudonym(const std::string& item, const Pseudonyms& pseudonyms) {
  const std::string random = pseudonyms.Stream("dotted numbers", item, item.size());
  std::string out = item;
  for (std::size_t at = 0; at < item.size();) {
    std::size_t stop = at;
    while (stop < item.size() && item[stop] != '.') ++stop;
    const std::size_t digits = stop - at;
    if (digits > 0 && digits <= 3) {
      const unsigned value = static_cast<unsigned>(std::stoul(item.substr(at, digits)));
      const unsigned lowest = digits == 1   ? 0u
                              : digits == 2 ? 10u
                                            : 100u,
                     highest = digits == 1   ? 9u
                               : digits == 2 ? 99u
                                             : 999u;
      const unsigned from = value > 255 ? 256u : lowest, to = value > 255 ? highest : std::min(highest, 255u);
      const unsigned made = from + static_cast<unsigned char>(random[at]) % (to - from + 1);
      std::string text = std::to_string(made);
      if (item[at] == '0' && digits > 1 && text.size() < digits) text.insert(0, digits - text.size(), '0');
      out.replace(at, digits, text.substr(text.size() - digits));
    } else if (digits > 3) {
      out.replace(at, digits, pseudonyms.Reshaped("dotted numbers", item.substr(at, digits)));
    }
    at = stop + 1;
  }
  return out;
}

// A literal of IPv6's shape: hexadecimal digits stay hexadecimal.
std::string HexPseudonym(const std::string& item, const Pseudonyms& pseudonyms) {
  const std::string random = pseudonyms.Stream("ipv6", item, item.size());
  std::string out = item;
  for (std::size_t i = 0; i < item.size(); ++i) {
    const unsigned char r = static_cast<unsigned char>(random[i]);
    const char c = item[i];
    if (c >= '0' && c <= '9') out[i] = static_cast<char>('0' + r % 10);
    if (c >= 'a' && c <= 'f') out[i] = static_cast<char>('a' + r % 6);
    if (c >= 'A' && c <= 'F') out[i] = static_cast<char>('A' + r % 6);
  }
  return out;
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
    out += isScheme || isTopLevel ? run : pseudonyms.Reshaped("server label", run);
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
    out += Kept(name) ? name : m_pseudonyms.Reshaped("folder", name);
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
  if (item.find_first_not_of("0123456789.") == std::string::npos)
    return IsIpv4Address(item) ? pseudonyms.Address(item) : DottedPseudonym(item, pseudonyms);
  if (std::count(item.begin(), item.end(), ':') >= 2 &&
      item.find_first_not_of("0123456789abcdefABCDEF:.") == std::string::npos)
    return HexPseudonym(item, pseudonyms);
  return ShapedServer(item, pseudonyms);
}

namespace {

// What to do with a span of a settings file: keep it, or write it anew.
struct Edit {
  std::size_t begin, end;
  bool keep;
  std::string text;  // when not kept
};

// The spans of one key the reader sees: its name kept; a server list's
// items each replaced; the value of any other setting the file's reader
// reads kept (the rest of the line follows the default: its words replaced).
void KeySpans(const std::string& content, const S::IniItem& item, bool isOverride, bool lost,
              const Pseudonyms& pseudonyms, std::map<std::string, std::string>& servers, std::vector<Edit>& edits) {
  edits.push_back({item.key.begin, item.key.end, true, std::string()});
  if (lost || !item.section.empty()) return;
  const S::SettingRow* row = S::FindSetting(content.substr(item.key.begin, item.key.size()));
  if (!row || (isOverride && !row->Has(S::kOverridable))) return;
  if (!row->list) {
    edits.push_back({item.value.begin, item.value.end, true, std::string()});
    return;
  }
  // Items split exactly as the reader splits them; one repeated is made once.
  const std::string value = content.substr(item.value.begin, item.value.size());
  std::string made;
  std::size_t start = 0;
  for (std::size_t at = 0; at <= value.size(); ++at) {
    if (at < value.size() && value[at] != '|') continue;
    const std::string server = value.substr(start, at - start);
    const auto known = servers.find(server);
    const std::string pseudonym = known != servers.end() ? known->second : ServerPseudonym(server, pseudonyms);
    if (pseudonym != server) servers.emplace(server, pseudonym);
    made += pseudonym;
    if (at < value.size()) made += '|';
    start = at + 1;
  }
  edits.push_back({item.value.begin, item.value.end, false, made});
}

}  // namespace

std::string RedactSettingsText(const std::string& content, bool isOverride, const Pseudonyms& pseudonyms,
                               std::map<std::string, std::string>& servers) {
  std::vector<Edit> edits;
  if (content.compare(0, 3, "\xEF\xBB\xBF") == 0) edits.push_back({0, 3, true, std::string()});
  bool lost = false;  // past a NUL byte: the reader never gets there, the check names what is there
  const S::IniVisitor visit = [&](const S::IniItem& item) {
    if (item.kind == S::IniItem::Kind::kKey) KeySpans(content, item, isOverride, lost, pseudonyms, servers, edits);
  };
  for (std::size_t at = S::WalkIni(content, visit).end; at < content.size();) {
    lost = true;
    at = S::WalkIniFrom(content, at + 1, visit).end;
  }
  std::sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) { return a.begin < b.begin; });
  std::string out;
  out.reserve(content.size());
  std::size_t at = 0;
  for (const Edit& edit : edits) {
    if (edit.begin < at) continue;  // spans never overlap; a guard all the same
    ReshapeWords(out, content, at, edit.begin, "settings text", pseudonyms);
    out += edit.keep ? content.substr(edit.begin, edit.end - edit.begin) : edit.text;
    at = edit.end;
  }
  ReshapeWords(out, content, at, content.size(), "settings text", pseudonyms);
  return out;
}

}  // namespace quarn_tools
