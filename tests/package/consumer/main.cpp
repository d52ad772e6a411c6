#include <cstdio>

#include "config/QuarnConfig.h"
#include "hwinfo/HwInfo.h"
#include "util/StringUtil.h"

int main() {
  CQuarnConfig* config = CSingleton<CQuarnConfig>::NewInstance();
  if (!config || CSingleton<CQuarnConfig>::GetInstance() != config) return 1;
  std::string root = config->GetQuarnDir();
  kqt::CStringUtil::stringToLower(root);
  static_assert(QUARNCONFIG_VERSION >= 10000, "the headers name their version");
  std::printf("version=%s root=%s loglevel=%d update=%s\n", QUARNCONFIG_VERSION_TEXT, root.c_str(),
              config->GetLogLevel(), config->GetUpdateServerPreDomain().c_str());
  CSingleton<CQuarnConfig>::RemoveInstance();
  return root.empty() ? 1 : 0;
}
