#include "util/FileCom.h"

#include "util/platform/Files.h"

namespace kqt {

CFileCom::CFileCom(const std::string& path) : m_path(path) {}

CFileCom::~CFileCom() = default;

bool CFileCom::open(int flag) {
  close();
  std::uint64_t bytes = 0;
  if (flag != ReadOnly || !sys::RegularFileSize(m_path, bytes) || bytes > static_cast<std::uint64_t>(INT64_MAX))
    return false;
  m_size = static_cast<std::int64_t>(bytes);
  return true;
}

void CFileCom::close() { m_size = -1; }

std::int64_t CFileCom::size() const { return m_size < 0 ? 0 : m_size; }

}  // namespace kqt
