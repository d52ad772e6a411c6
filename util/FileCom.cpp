#include "util/FileCom.h"

#include <filesystem>
#include <system_error>

namespace kqt {

bool CFileCom::open(int flag) {
  close();
  if (flag != ReadOnly) return false;
  std::error_code error;
  if (!std::filesystem::is_regular_file(std::filesystem::path(m_path), error)) return false;
  m_file = std::fopen(m_path.c_str(), "rb");
  return m_file != nullptr;
}

void CFileCom::close() {
  if (m_file) std::fclose(m_file);
  m_file = nullptr;
}

std::int64_t CFileCom::size() const {
  if (!m_file) return 0;
  std::error_code error;
  const std::uintmax_t bytes = std::filesystem::file_size(std::filesystem::path(m_path), error);
  return error ? 0 : static_cast<std::int64_t>(bytes);
}

}  // namespace kqt
