#include "util/DirCom.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace kqt {
namespace {

// Normal, absolute, "/"-separated form without a trailing separator.
std::string NormalForm(const std::string& text) {
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
