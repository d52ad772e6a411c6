#include <cstdio>

#include "config/QuarnConfig.h"
#include "hwinfo/HwInfo.h"
#include "util/StringUtil.h"

int main() {
  CQuarnConfig* config = CSingleton<CQuarnConfig>::NewInstance();
  if (!config || CSingleton<CQuarnConfig>::GetInstance() != config) return 1;
  std::string root = config->GetQuarnDir();
  kqt::CStringUtil::stringToLower(root);
  std::printf("root=%s loglevel=%d update=%s\n", root.c_str(), config->GetLogLevel(),
              config->GetUpdateServerPreDomain().c_str());
  CSingleton<CQuarnConfig>::RemoveInstance();
  return root.empty() ? 1 : 0;
}
