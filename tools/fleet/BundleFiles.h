// The bundles a fleet view reads: the files named, and the *.json files in
// the folders named and the folders below them, in the order of their
// paths. A path that names nothing is said.
#ifndef QUARN_TOOLS_FLEET_BUNDLEFILES_H
#define QUARN_TOOLS_FLEET_BUNDLEFILES_H

#include <string>
#include <utility>
#include <vector>

namespace quarn_tools {

struct BundleFiles {
  std::vector<std::string> files;
  std::vector<std::pair<std::string, std::string>> missing;  // path, why
};

BundleFiles FindBundleFiles(const std::vector<std::string>& paths);

}  // namespace quarn_tools

#endif
