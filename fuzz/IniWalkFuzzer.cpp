// The settings read hands the INI reader only the keys of the unnamed
// section, as the library's walk finds them. For any bytes, the reader
// given those keys alone must hold exactly what it holds given the whole
// file: the same keys, spelt as first written, with the same values.
#include <SimpleIni.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "config/IniSyntax.h"

namespace {

const CSimpleIniA::TKeyVal* Unnamed(CSimpleIniA& reader, const std::string& content) {
  if (reader.LoadData(content.data(), content.size()) < 0) __builtin_trap();
  return reader.GetSection("");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string content(reinterpret_cast<const char*>(data), size);
  CSimpleIniA whole(false, false, false), keys(false, false, false);
  const CSimpleIniA::TKeyVal* expected = Unnamed(whole, content);
  const CSimpleIniA::TKeyVal* found = Unnamed(keys, quarn::settings::UnnamedSectionText(content));
  const std::size_t expectedSize = expected ? expected->size() : 0, foundSize = found ? found->size() : 0;
  if (expectedSize != foundSize) __builtin_trap();
  if (!expected || !found) return 0;
  for (auto a = expected->begin(), b = found->begin(); a != expected->end(); ++a, ++b)
    if (std::strcmp(a->first.pItem, b->first.pItem) != 0 || std::strcmp(a->second, b->second) != 0) __builtin_trap();
  return 0;
}
