// Built inside a parent project: the public headers, the aliases, and a
// configuration object that holds its defaults.
#include <cstdio>

#include "config/QuarnConfig.h"
#include "util/HostInfoUtil.h"
#include "util/StringUtil.h"

#if __has_include("util/platform/Platform.h")
#error "an internal header is visible to the parent project"
#endif

int main() {
  CQuarnConfig* config = CSingleton<CQuarnConfig>::NewInstance();
  const bool ok = config && config->GetLogLevel() == 4 && kqt::CStringUtil::stringTrimmed(" a ") == "a";
  CSingleton<CQuarnConfig>::RemoveInstance();
  std::puts(ok ? "subproject consumer: ok" : "subproject consumer: wrong answers");
  return ok ? 0 : 1;
}
