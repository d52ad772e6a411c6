// Writes the worst-case shapes of a settings file into a folder, as seeds
// for the settings targets: fuzz_shapes DIR BYTES.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "support/WorstCaseShapes.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: fuzz_shapes DIR BYTES\n");
    return 2;
  }
  const std::size_t bytes = std::strtoul(argv[2], nullptr, 10);
  for (const quarn_test::SettingsShape& shape : quarn_test::SettingsShapes()) {
    std::ofstream out(std::string(argv[1]) + "/" + shape.name + ".ini", std::ios::binary | std::ios::trunc);
    out << shape.make(bytes);
    if (!out) return 1;
  }
  return 0;
}
