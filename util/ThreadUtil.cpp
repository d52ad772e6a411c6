#include "util/ThreadUtil.h"

#include "util/platform/Platform.h"

namespace kqt {

int CThreadUtil::GetRandom() { return sys::CurrentPlatform().Random(); }

}  // namespace kqt
