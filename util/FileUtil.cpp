#include "util/FileUtil.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace kqt {

bool CFileUtil::IsFile(const std::string& path) {
  std::error_code error;
  return fs::is_regular_file(fs::path(path), error);
}

std::uint64_t CFileUtil::GetFileSize(const std::string& path) {
  std::error_code error;
  const fs::path file(path);
  if (!fs::is_regular_file(file, error)) return 0;
  const std::uintmax_t bytes = fs::file_size(file, error);
  return error ? 0 : static_cast<std::uint64_t>(bytes);
}

bool CFileUtil::ReadLine(const std::string& path, std::string& line) {
  if (!IsFile(path)) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string first;
  if (!std::getline(in, first)) return false;  // empty file, or a read error
  if (!first.empty() && first.back() == '\r') first.pop_back();
  line.swap(first);
  return true;
}

}  // namespace kqt
