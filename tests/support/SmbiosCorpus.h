// The shared SMBIOS dumps of real machines (MANIFEST.tsv describes each),
// read in place from the folder a test target names.
#ifndef QUARN_TESTS_SUPPORT_SMBIOSCORPUS_H
#define QUARN_TESTS_SUPPORT_SMBIOSCORPUS_H

#include <fstream>
#include <iterator>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace quarn_test {

struct Dump {
  std::string name, sourceFormat, entryPoint, version, dmidecodeUuid, rawUuid;
};

// What gtest prints of a parameter: the machine's name.
inline void PrintTo(const Dump& dump, std::ostream* out) { *out << dump.name; }

// The manifest's rows; none where the folder is absent.
inline std::vector<Dump> Manifest(const std::string& corpus) {
  std::vector<Dump> dumps;
  std::ifstream in(corpus + "/MANIFEST.tsv");
  std::string line;
  std::getline(in, line);  // column names
  while (std::getline(in, line)) {
    std::vector<std::string> f;
    std::istringstream fields(line);
    for (std::string field; std::getline(fields, field, '\t');) f.push_back(field);
    if (f.size() >= 13) dumps.push_back(Dump{f[0], f[5], f[6], f[7], f[11], f[12]});
  }
  return dumps;
}

inline std::vector<unsigned char> FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace quarn_test

#endif
