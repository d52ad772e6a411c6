#include "util/DirCom.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace kqt {
namespace {

// True when `text` is already absolute and normal: a root ("/" or "C:/")
// followed by components that are neither empty, "." nor "..", with no
// trailing separator and, on Windows, no backslash. Most paths are, and
// then need no work.
bool IsNormalAbsolute(const std::string& text) {
#if defined(_WIN32)
  const bool driveRoot = text.size() >= 3 && ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z')) &&
                         text[1] == ':' && text[2] == '/';
  if (!driveRoot || text.find('\\') != std::string::npos) return false;
  std::string::size_type start = 3;
#else
  if (text.empty() || text[0] != '/') return false;
  std::string::size_type start = 1;
#endif
  if (start == text.size()) return true;  // the root itself
  while (start <= text.size()) {
    std::string::size_type end = text.find('/', start);
    if (end == std::string::npos) end = text.size();
    const std::string::size_type length = end - start;
    if (length == 0) return false;  // "//" or a trailing "/"
    if (text[start] == '.' && (length == 1 || (length == 2 && text[start + 1] == '.'))) return false;
    start = end + 1;
  }
  return true;
}

// Normal, absolute, "/"-separated form without a trailing separator.
std::string NormalForm(const std::string& text) {
  if (IsNormalAbsolute(text)) return text;
  std::error_code error;
  fs::path path = text.empty() ? fs::path(".") : fs::path(text);
  fs::path absolute = fs::absolute(path, error);
  if (error) absolute = path;
  std::string normal = absolute.lexically_normal().generic_string();
  // lexically_normal keeps a trailing "/" (after ".." for one); drop it
  // unless the path is a bare root such as "/" or "C:/".
  if (normal.size() > 1 && normal.back() == '/' && !fs::path(normal).relative_path().empty()) normal.pop_back();
  return normal;
}

}  // namespace

std::string CDirCom::absolutePath() const { return NormalForm(m_path); }

std::string CDirCom::absoluteFilePath(const std::string& name) const {
  std::string base = absolutePath();
  if (base.empty() || base.back() != '/') base += '/';
  return base + name;
}

bool CDirCom::cd(const std::string& name) {
  if (name == "..") return cdUp();
  m_path = NormalForm(absoluteFilePath(name));
  return exists();
}

bool CDirCom::cdUp() {
  const fs::path current(absolutePath());
  if (current.relative_path().empty()) return false;  // at the root
  m_path = NormalForm(current.parent_path().generic_string());
  return true;
}

bool CDirCom::exists() const {
  std::error_code error;
  return fs::is_directory(fs::path(absolutePath()), error);
}

bool CDirCom::mkdir(const std::string& name) const {
  std::error_code error;
  return fs::create_directory(fs::path(absoluteFilePath(name)), error);
}

}  // namespace kqt
