#include "util/ThreadUtil.h"

#include "util/Platform.h"

namespace kqt {

int CThreadUtil::GetRandom() { return sys::CurrentPlatform().Random(); }

}  // namespace kqt
