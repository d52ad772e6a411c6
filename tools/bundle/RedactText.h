// The texts of a redacted bundle that could name the customer, its users or
// its network: the folders of recorded paths, the server names of the
// settings files, and the settings files' free texts. Each is replaced by a
// keyed pseudonym that keeps what the library's rules and the check see in
// it: a path divides into the same components, a host name stays a host
// name of the same shape, an address keeps its class, a file keeps its
// lines, keys and values where the reader finds them.
#ifndef QUARN_TOOLS_BUNDLE_REDACTTEXT_H
#define QUARN_TOOLS_BUNDLE_REDACTTEXT_H

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "bundle/Pseudonyms.h"

namespace quarn_tools {

// The folder names of paths replaced, but for the agent's own layout names
// (client, bin, conf, globalcfg, ...), a few names of the system's own
// folders, and drives and roots. Each path's prefixes are remembered with
// their pseudonyms, so that texts holding them can be redacted alike.
class PathRedaction {
 public:
  PathRedaction(const Pseudonyms& pseudonyms, const PathStyleRecord& style)
      : m_pseudonyms(pseudonyms), m_style(style) {}
  std::string Path(const std::string& path);
  // Every prefix of a path redacted so far, at a folder's end, and what it
  // became; the longest first.
  std::vector<std::pair<std::string, std::string>> Prefixes() const;

 private:
  bool Kept(const std::string& name) const;
  const Pseudonyms& m_pseudonyms;
  PathStyleRecord m_style;
  std::map<std::string, std::string> m_prefixes;
};

// `text` with every occurrence of a prefix (the longest that matches) that
// ends at a folder's end replaced.
std::string ReplacePrefixes(const std::string& text, const std::vector<std::pair<std::string, std::string>>& prefixes);

// A server list's item: the library's own default servers stay; an IPv4
// literal keeps its class; anything else keeps its shape (letters, digits,
// dots, hyphens, underscores, spaces, a scheme, a port and a public
// top-level domain where they stand), its labels replaced.
std::string ServerPseudonym(const std::string& item, const Pseudonyms& pseudonyms);

// A settings file's bytes with every text that is not a key's name or the
// value of a setting the library reads replaced (comments, section names,
// unknown keys' values, lines the reader passes over), and the server lists'
// items each by ServerPseudonym. `servers` receives each item replaced and
// its pseudonym.
std::string RedactSettingsText(const std::string& content, bool isOverride, const Pseudonyms& pseudonyms,
                               std::map<std::string, std::string>& servers);

}  // namespace quarn_tools

#endif
