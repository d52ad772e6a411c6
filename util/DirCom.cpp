#include "util/DirCom.h"

#include "util/platform/Files.h"

namespace kqt {
namespace {

std::string NormalForm(const std::string& text) {
  const path::Style& style = sys::PathStyle();
  // The working directory is asked for only when the text is relative.
  const std::string slashed = path::Slashed(text, style);
  if (path::RootLength(slashed, style) > 0) return path::Normal(slashed, std::string(), style);
  return path::Normal(slashed, sys::WorkingDirectory(), style);
}

}  // namespace

std::string CDirCom::absolutePath() const { return NormalForm(m_path); }

std::string CDirCom::absoluteFilePath(const std::string& name) const { return path::Join(absolutePath(), name); }

bool CDirCom::cd(const std::string& name) {
  if (name == "..") return cdUp();
  m_path = NormalForm(absoluteFilePath(name));
  return exists();
}

bool CDirCom::cdUp() {
  const std::string current = absolutePath();
  std::string parent;
  if (!path::Parent(current, sys::PathStyle(), parent)) {
    m_path = current;
    return false;  // at the root, which stays
  }
  m_path = parent;
  return true;
}

bool CDirCom::exists() const { return sys::KindOf(absolutePath()) == sys::FileKind::kDirectory; }

bool CDirCom::mkdir(const std::string& name) const { return sys::MakeDirectory(absoluteFilePath(name)); }

}  // namespace kqt
