// The kqt locks on Windows.
//
// Slim reader/writer locks came with Vista. Importing them would keep the
// library from loading on Windows XP and Server 2003, so their four routines
// are looked up once, at the first lock made. Where they are missing, each
// lock owns a critical section instead (exclusive for readers as well).
#include <new>

#include "util/LockUtil.h"
#include "util/platform/Win32.h"

namespace kqt {
namespace {

typedef VOID(WINAPI* SrwRoutine)(PSRWLOCK);

struct SlimLockRoutines {
  SrwRoutine acquireShared = nullptr;
  SrwRoutine releaseShared = nullptr;
  SrwRoutine acquireExclusive = nullptr;
  SrwRoutine releaseExclusive = nullptr;
  bool present = false;
};

SrwRoutine Kernel32Routine(const char* name) {
#if defined(KQT_LOCKS_WITHOUT_SLIM_LOCKS)  // set by the test of the stand-in
  (void)name;
  return nullptr;
#else
  return sys::LoadedRoutine<SrwRoutine>("kernel32.dll", name);
#endif
}

SlimLockRoutines LoadSlimLockRoutines() {
  SlimLockRoutines routines;
  routines.acquireShared = Kernel32Routine("AcquireSRWLockShared");
  routines.releaseShared = Kernel32Routine("ReleaseSRWLockShared");
  routines.acquireExclusive = Kernel32Routine("AcquireSRWLockExclusive");
  routines.releaseExclusive = Kernel32Routine("ReleaseSRWLockExclusive");
  routines.present =
      routines.acquireShared && routines.releaseShared && routines.acquireExclusive && routines.releaseExclusive;
  return routines;
}

// Decided once for the process: every lock is of the same kind.
const SlimLockRoutines& Slim() {
  static const SlimLockRoutines routines = LoadSlimLockRoutines();
  return routines;
}

static_assert(sizeof(SRWLOCK) == sizeof(void*), "an SRWLOCK is one pointer wide");

// A fresh lock's storage: the zeroed SRWLOCK, or a new critical section.
void* NewLock() {
  if (Slim().present) return nullptr;
  CRITICAL_SECTION* section = new CRITICAL_SECTION;
  ::InitializeCriticalSection(section);
  return section;
}

void DeleteLock(void* lock) {
  if (Slim().present || !lock) return;
  CRITICAL_SECTION* section = static_cast<CRITICAL_SECTION*>(lock);
  ::DeleteCriticalSection(section);
  delete section;
}

void AcquireShared(void** lock) {
  if (Slim().present)
    Slim().acquireShared(reinterpret_cast<PSRWLOCK>(lock));
  else
    ::EnterCriticalSection(static_cast<CRITICAL_SECTION*>(*lock));
}

void ReleaseShared(void** lock) {
  if (Slim().present)
    Slim().releaseShared(reinterpret_cast<PSRWLOCK>(lock));
  else
    ::LeaveCriticalSection(static_cast<CRITICAL_SECTION*>(*lock));
}

void AcquireExclusive(void** lock) {
  if (Slim().present)
    Slim().acquireExclusive(reinterpret_cast<PSRWLOCK>(lock));
  else
    ::EnterCriticalSection(static_cast<CRITICAL_SECTION*>(*lock));
}

void ReleaseExclusive(void** lock) {
  if (Slim().present)
    Slim().releaseExclusive(reinterpret_cast<PSRWLOCK>(lock));
  else
    ::LeaveCriticalSection(static_cast<CRITICAL_SECTION*>(*lock));
}

}  // namespace

bool ReadersShareLocks() { return Slim().present; }

CReadWriteLockUtil::CReadWriteLockUtil() : m_lock(NewLock()) {}
CReadWriteLockUtil::~CReadWriteLockUtil() { DeleteLock(m_lock); }
void CReadWriteLockUtil::lockForRead() { AcquireShared(&m_lock); }
void CReadWriteLockUtil::unlockForRead() { ReleaseShared(&m_lock); }
void CReadWriteLockUtil::lockForWrite() { AcquireExclusive(&m_lock); }
void CReadWriteLockUtil::unlockForWrite() { ReleaseExclusive(&m_lock); }

CMutexUtil::CMutexUtil() : m_lock(NewLock()) {}
CMutexUtil::~CMutexUtil() { DeleteLock(m_lock); }
void CMutexUtil::lock() { AcquireExclusive(&m_lock); }
void CMutexUtil::unlock() { ReleaseExclusive(&m_lock); }

CReadLockUtil::CReadLockUtil(CReadWriteLockUtil& lock) : m_lock(lock) { m_lock.lockForRead(); }
CReadLockUtil::~CReadLockUtil() { m_lock.unlockForRead(); }

CWriteLockUtil::CWriteLockUtil(CReadWriteLockUtil& lock) : m_lock(lock) { m_lock.lockForWrite(); }
CWriteLockUtil::~CWriteLockUtil() { m_lock.unlockForWrite(); }

CMutexLockUtil::CMutexLockUtil(CMutexUtil& mutex) : m_mutex(mutex) { m_mutex.lock(); }
CMutexLockUtil::~CMutexLockUtil() { m_mutex.unlock(); }

}  // namespace kqt
