// The bundles a fleet view reads: the files named, and the *.json files in
// the folders named and the folders below them, in the order of their
// paths. Each folder is entered once, however many links lead to it, and a
// link to a folder that holds the fleet's is not followed (a loop, or the
// whole file system). Each file is read once, however often it is named.
// What names nothing, and what the walk passes over, is said.
#ifndef QUARN_TOOLS_FLEET_BUNDLEFILES_H
#define QUARN_TOOLS_FLEET_BUNDLEFILES_H

#include <string>
#include <utility>
#include <vector>

namespace quarn_tools {

struct BundleFiles {
  std::vector<std::string> files;
  std::vector<std::pair<std::string, std::string>> missing;  // named, and nothing there: path, why
  std::vector<std::pair<std::string, std::string>> refused;  // named, and no bundle: path, why
  std::vector<std::pair<std::string, std::string>> skipped;  // passed over in a folder: path, why
};

BundleFiles FindBundleFiles(const std::vector<std::string>& paths);

}  // namespace quarn_tools

#endif
