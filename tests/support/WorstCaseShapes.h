// Settings files of the shapes that cost a reader most for their size, and
// a plain file of the same size to measure them against: shared by the
// worst-case benchmark, the tests and the fuzz targets' seeds.
#ifndef QUARN_TESTS_SUPPORT_WORSTCASESHAPES_H
#define QUARN_TESTS_SUPPORT_WORSTCASESHAPES_H

#include <cstddef>
#include <string>
#include <vector>

namespace quarn_test {

struct SettingsShape {
  const char* name;  // "long_section_name", ...; "plain" is the yardstick
  const char* what;  // in a few words, for the table
  std::string (*make)(std::size_t bytes);
};

// The shapes, "plain" first. Each makes a file of at most `bytes` bytes,
// within a few hundred bytes of it.
const std::vector<SettingsShape>& SettingsShapes();

}  // namespace quarn_test

#endif
