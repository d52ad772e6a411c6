#include "bundle/StylePaths.h"

namespace quarn_tools {
namespace {

// Per thread: the fleet view replays bundles of different code pages side
// by side, each on one thread.
thread_local bool g_leadBytes[256] = {};

bool IsRecordedLeadByte(unsigned char byte) { return g_leadBytes[byte]; }

}  // namespace

StylePaths::StylePaths(const PathStyleRecord& style) {
  for (bool& lead : g_leadBytes) lead = false;
  for (char byte : style.leadBytes) g_leadBytes[static_cast<unsigned char>(byte)] = true;
  m_style.windows = style.windows;
  m_style.isLeadByte = style.windows ? IsRecordedLeadByte : nullptr;
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
