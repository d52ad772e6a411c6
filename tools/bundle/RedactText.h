// The texts of a redacted bundle that could name the customer, its users or
// its network: the folders of recorded paths, the settings files and the
// updater's record. What the allow-list names stays (the agent's own folder
// names, the settings' key names, the values of integer and boolean
// settings that read whole as such, the library's default servers, the
// updater's version); every other text becomes a keyed pseudonym that keeps
// what the library's rules and the check see in it: a path divides into the
// same components, a host name stays a host name of the same shape, an
// address keeps its class, a file keeps its lines, keys and values where
// the reader finds them.
#ifndef QUARN_TOOLS_BUNDLE_REDACTTEXT_H
#define QUARN_TOOLS_BUNDLE_REDACTTEXT_H

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "bundle/Pseudonyms.h"

namespace quarn_tools {

// What a redaction did: each kind of value replaced, counted; each value
// that left as it was, with the allow-list's reason, once.
struct RedactionLog {
  struct Kept {
    std::string field, value, why;
  };
  std::map<std::string, std::size_t> replaced;
  std::vector<Kept> kept;
  std::set<std::pair<std::string, std::string>> keptOnce;
  void Replaced(const std::string& kind, std::size_t count = 1) {
    if (count) replaced[kind] += count;
  }
  void Keep(const std::string& field, const std::string& value, const std::string& why) {
    if (keptOnce.insert({field, value}).second) kept.push_back({field, value, why});
  }
};

// The folder names of paths replaced, but for the agent's own layout names
// (client, bin, conf, globalcfg, ...), a few names of the system's own
// folders, and drives and roots. Each path's prefixes are remembered with
// their pseudonyms, so that texts holding them can be redacted alike.
class PathRedaction {
 public:
  PathRedaction(const Pseudonyms& pseudonyms, const PathStyleRecord& style, RedactionLog& log)
      : m_pseudonyms(pseudonyms), m_style(style), m_log(log) {}
  std::string Path(const std::string& path);
  // Every prefix of a path redacted so far, at a folder's end, and what it
  // became; the longest first.
  std::vector<std::pair<std::string, std::string>> Prefixes() const;

 private:
  bool Kept(const std::string& name) const;
  const Pseudonyms& m_pseudonyms;
  PathStyleRecord m_style;
  RedactionLog& m_log;
  std::map<std::string, std::string> m_prefixes;
};

// `text` with every occurrence of a prefix (the longest that matches) that
// ends at a folder's end replaced.
std::string ReplacePrefixes(const std::string& text, const std::vector<std::pair<std::string, std::string>>& prefixes);

// A server list's item: the library's own default servers stay; an IPv4
// literal keeps its class; anything else keeps its shape (letters, digits,
// dots, hyphens, underscores, spaces, a scheme, a port and a public
// top-level domain where they stand), its labels replaced; never a default
// server.
std::string ServerPseudonym(const std::string& item, const Pseudonyms& pseudonyms);

// A settings file's bytes by the allow-list: known keys' names and the
// values of integer and boolean keys that read whole stay; the server
// lists' items each become their ServerPseudonym (`servers` receives each
// one replaced); every other text (text values, unknown keys' names and
// values, comments, section names, lines the reader passes over, what
// follows a value) its pseudonym, word by word.
std::string RedactSettingsText(const std::string& content, const Pseudonyms& pseudonyms,
                               std::map<std::string, std::string>& servers, RedactionLog& log);

// The updater's record: its first line, the version the library reads,
// stays; the rest is replaced word by word.
std::string RedactUpdaterRecord(const std::string& content, const Pseudonyms& pseudonyms, RedactionLog& log);

}  // namespace quarn_tools

#endif
