// A directory cursor: holds one path, moves into children and up to parents
// whether or not they exist, and answers questions about the place.
#ifndef KQT_UTIL_DIRCOM_H
#define KQT_UTIL_DIRCOM_H

#include <string>

#include "util/kqtUtilExport.h"

namespace kqt {

class KQTUTIL_API CDirCom {
 public:
  CDirCom() = default;
  explicit CDirCom(const std::string& path) : m_path(path) {}
  CDirCom& operator=(const std::string& path) {
    m_path = path;
    return *this;
  }

  void setPath(const std::string& path) { m_path = path; }
  // The path as it was set (after cd/cdUp, the absolute path moved to).
  const std::string& path() const { return m_path; }

  // The path made absolute (against the working directory) with "." and ".."
  // resolved, "/" between components and no trailing separator.
  std::string absolutePath() const;
  // absolutePath() + "/" + name.
  std::string absoluteFilePath(const std::string& name) const;

  // Moves into the child `name` ("conf", "./globalcfg"; ".." moves up),
  // existing or not. Returns whether the directory moved to exists.
  bool cd(const std::string& name);
  // Moves to the parent, existing or not. False at the root, which stays.
  bool cdUp();

  bool exists() const;
  // Creates the child directory `name`. True when it was created now.
  bool mkdir(const std::string& name) const;

 private:
  std::string m_path;
};

}  // namespace kqt

#endif
