#include "util/PathText.h"

namespace kqt {
namespace path {
namespace {

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool SameLetter(char a, char b) { return (a | 0x20) == (b | 0x20); }

// "C:" at the start of a Windows text.
bool HasDrive(const std::string& text) { return text.size() >= 2 && IsAsciiLetter(text[0]) && text[1] == ':'; }

bool IsDotDot(const std::string& text, std::size_t at, std::size_t end) {
  return end - at == 2 && text[at] == '.' && text[at + 1] == '.';
}

// True when the last component of `out` (after `root`) is "..": only a
// relative path can keep one.
bool EndsInDotDot(const std::string& out, std::size_t root) {
  if (out.size() < root + 2) return false;
  const std::size_t size = out.size();
  return out[size - 1] == '.' && out[size - 2] == '.' && (size - 2 == root || out[size - 3] == '/');
}

}  // namespace

std::string Slashed(const std::string& text, const Style& style) {
  if (!style.windows) return text;
  std::string slashed(text);
  for (std::size_t i = 0; i < slashed.size(); ++i) {
    const unsigned char byte = static_cast<unsigned char>(slashed[i]);
    if (style.leadBytes[byte] && i + 1 < slashed.size()) {
      ++i;  // the trail byte is part of the character, even when it is 0x5C
    } else if (byte == '\\') {
      slashed[i] = '/';
    }
  }
  return slashed;
}

std::size_t RootLength(const std::string& slashed, const Style& style) {
  if (!style.windows) return !slashed.empty() && slashed[0] == '/' ? 1 : 0;
  if (slashed.size() >= 3 && HasDrive(slashed) && slashed[2] == '/') return 3;
  if (slashed.size() >= 3 && slashed[0] == '/' && slashed[1] == '/' && slashed[2] != '/') {
    // "//server/share": both names belong to the root.
    std::size_t end = slashed.find('/', 2);
    if (end == std::string::npos) return slashed.size();
    end = slashed.find('/', end + 1);
    return end == std::string::npos ? slashed.size() : end;
  }
  return 0;
}

std::string Normal(const std::string& text, const std::string& workingDirectory, const Style& style) {
  std::string s = Slashed(text, style);
  std::size_t root = RootLength(s, style);
  if (root == 0 && !workingDirectory.empty()) {
    const std::string work = Slashed(workingDirectory, style);
    if (style.windows && HasDrive(s)) {
      // "C:x" is relative to drive C's own directory; only the working
      // directory's is known.
      if (HasDrive(work) && SameLetter(work[0], s[0]))
        s = work + "/" + s.substr(2);
      else
        s = s.substr(0, 2) + "/" + s.substr(2);
    } else if (style.windows && !s.empty() && s[0] == '/') {
      s = work.substr(0, RootLength(work, style)) + "/" + s;  // the root of the current drive or share
    } else {
      s = work + "/" + s;
    }
    root = RootLength(s, style);
  }

  std::string out = s.substr(0, root);
  for (std::size_t at = root; at <= s.size();) {
    std::size_t end = s.find('/', at);
    if (end == std::string::npos) end = s.size();
    if (end == at || (end - at == 1 && s[at] == '.')) {
      // empty or ".": nothing
    } else if (IsDotDot(s, at, end)) {
      if (out.size() > root && !EndsInDotDot(out, root)) {
        const std::size_t slash = out.rfind('/');
        out.resize(slash == std::string::npos || slash < root ? root : slash);
      } else if (root == 0) {
        out += out.empty() ? ".." : "/..";  // a relative path keeps what lies above it
      }                                     // at a root, ".." stays there
    } else {
      if (!out.empty() && out.back() != '/') out += '/';
      out.append(s, at, end - at);
    }
    at = end + 1;
  }
  if (out.empty()) out = ".";
  return out;
}

bool Parent(const std::string& normal, const Style& style, std::string& parent) {
  const std::size_t root = RootLength(normal, style);
  if (normal.size() <= root || (root == 0 && normal == ".")) return false;
  const std::size_t slash = normal.rfind('/');
  if (slash == std::string::npos || slash < root)
    parent = root == 0 ? std::string(".") : normal.substr(0, root);
  else
    parent = normal.substr(0, slash);
  return true;
}

std::string Join(const std::string& directory, const std::string& name) {
  if (directory.empty()) return name;
  return directory.back() == '/' ? directory + name : directory + "/" + name;
}

}  // namespace path
}  // namespace kqt
