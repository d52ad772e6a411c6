#include "bundle/StylePaths.h"

namespace quarn_tools {

StylePaths::StylePaths(const PathStyleRecord& style) {
  m_style.windows = style.windows;
  if (style.windows)
    for (char byte : style.leadBytes) m_style.leadBytes[static_cast<unsigned char>(byte)] = true;
}

// A relative text stays relative: the recorded machine's working directory
// is not known (the library's own paths are absolute).
std::string StylePaths::Normal(const std::string& text) const {
  return kqt::path::Normal(kqt::path::Slashed(text, m_style), std::string(), m_style);
}

std::string StylePaths::Up(const std::string& dir) const {
  const std::string normal = Normal(dir);
  std::string parent;
  return kqt::path::Parent(normal, m_style, parent) ? parent : normal;
}

std::string StylePaths::Join(const std::string& dir, const std::string& name) const {
  return kqt::path::Join(Normal(dir), name);
}

}  // namespace quarn_tools
