// The kqt locks on Windows: slim reader/writer locks, which need no
// initialisation beyond their zeroed state.
#include <windows.h>

#include "util/LockUtil.h"

namespace kqt {
namespace {
static_assert(sizeof(SRWLOCK) == sizeof(void*), "an SRWLOCK is one pointer wide");
PSRWLOCK Srw(void** lock) { return reinterpret_cast<PSRWLOCK>(lock); }
}  // namespace

void CReadWriteLockUtil::lockForRead() { ::AcquireSRWLockShared(Srw(&m_lock)); }
void CReadWriteLockUtil::unlockForRead() { ::ReleaseSRWLockShared(Srw(&m_lock)); }
void CReadWriteLockUtil::lockForWrite() { ::AcquireSRWLockExclusive(Srw(&m_lock)); }
void CReadWriteLockUtil::unlockForWrite() { ::ReleaseSRWLockExclusive(Srw(&m_lock)); }

void CMutexUtil::lock() { ::AcquireSRWLockExclusive(Srw(&m_lock)); }
void CMutexUtil::unlock() { ::ReleaseSRWLockExclusive(Srw(&m_lock)); }

}  // namespace kqt
