// Locks and the guards that hold them for one scope.
//
// Callers take a lock only through a guard: CReadLockUtil or CWriteLockUtil
// on a CReadWriteLockUtil, CMutexLockUtil on a CMutexUtil. The guard holds
// the lock from its construction to its destruction, also when an exception
// leaves the scope.
//
// On Windows the locks are the system's slim reader/writer locks where the
// system has them (Vista and later). They are looked up at run time, so the
// library still loads on Windows XP and Server 2003, where a critical
// section serves instead: exclusive for readers too, which keeps every
// guarantee except readers side by side. The guards are functions of this
// library there, so a module built against it depends on no more than the
// lock types and their guards. Elsewhere the locks are the standard
// library's, inline.
#ifndef KQT_UTIL_LOCKUTIL_H
#define KQT_UTIL_LOCKUTIL_H

#if defined(_WIN32)
#include "util/kqtUtilExport.h"
#else
#include <mutex>
#include <shared_mutex>
#endif

namespace kqt {

#if defined(_WIN32)

// Many readers or one writer.
class KQTUTIL_API CReadWriteLockUtil {
 public:
  CReadWriteLockUtil();
  ~CReadWriteLockUtil();
  CReadWriteLockUtil(const CReadWriteLockUtil&) = delete;
  CReadWriteLockUtil& operator=(const CReadWriteLockUtil&) = delete;

  void lockForRead();
  void unlockForRead();
  void lockForWrite();
  void unlockForWrite();

 private:
  void* m_lock;  // an SRWLOCK, or the critical section that stands in for one
};

class KQTUTIL_API CMutexUtil {
 public:
  CMutexUtil();
  ~CMutexUtil();
  CMutexUtil(const CMutexUtil&) = delete;
  CMutexUtil& operator=(const CMutexUtil&) = delete;

  void lock();
  void unlock();

 private:
  void* m_lock;  // as in CReadWriteLockUtil, always held exclusively
};

// Shared hold of a CReadWriteLockUtil until the guard ends.
class KQTUTIL_API CReadLockUtil {
 public:
  explicit CReadLockUtil(CReadWriteLockUtil& lock);
  ~CReadLockUtil();
  CReadLockUtil(const CReadLockUtil&) = delete;
  CReadLockUtil& operator=(const CReadLockUtil&) = delete;

 private:
  CReadWriteLockUtil& m_lock;
};

// Exclusive hold of a CReadWriteLockUtil until the guard ends.
class KQTUTIL_API CWriteLockUtil {
 public:
  explicit CWriteLockUtil(CReadWriteLockUtil& lock);
  ~CWriteLockUtil();
  CWriteLockUtil(const CWriteLockUtil&) = delete;
  CWriteLockUtil& operator=(const CWriteLockUtil&) = delete;

 private:
  CReadWriteLockUtil& m_lock;
};

// Exclusive hold of a CMutexUtil until the guard ends.
class KQTUTIL_API CMutexLockUtil {
 public:
  explicit CMutexLockUtil(CMutexUtil& mutex);
  ~CMutexLockUtil();
  CMutexLockUtil(const CMutexLockUtil&) = delete;
  CMutexLockUtil& operator=(const CMutexLockUtil&) = delete;

 private:
  CMutexUtil& m_mutex;
};

// True when the locks are the system's slim reader/writer locks (readers
// side by side); false where a critical section stands in for them.
KQTUTIL_API bool ReadersShareLocks();

#else

// Many readers or one writer.
class CReadWriteLockUtil {
 public:
  CReadWriteLockUtil() = default;
  CReadWriteLockUtil(const CReadWriteLockUtil&) = delete;
  CReadWriteLockUtil& operator=(const CReadWriteLockUtil&) = delete;

  void lockForRead() { m_lock.lock_shared(); }
  void unlockForRead() { m_lock.unlock_shared(); }
  void lockForWrite() { m_lock.lock(); }
  void unlockForWrite() { m_lock.unlock(); }

 private:
  std::shared_mutex m_lock;
};

class CMutexUtil {
 public:
  CMutexUtil() = default;
  CMutexUtil(const CMutexUtil&) = delete;
  CMutexUtil& operator=(const CMutexUtil&) = delete;

  void lock() { m_mutex.lock(); }
  void unlock() { m_mutex.unlock(); }

 private:
  std::mutex m_mutex;
};

// Shared hold of a CReadWriteLockUtil until the guard ends.
class CReadLockUtil {
 public:
  explicit CReadLockUtil(CReadWriteLockUtil& lock) : m_lock(lock) { m_lock.lockForRead(); }
  ~CReadLockUtil() { m_lock.unlockForRead(); }
  CReadLockUtil(const CReadLockUtil&) = delete;
  CReadLockUtil& operator=(const CReadLockUtil&) = delete;

 private:
  CReadWriteLockUtil& m_lock;
};

// Exclusive hold of a CReadWriteLockUtil until the guard ends.
class CWriteLockUtil {
 public:
  explicit CWriteLockUtil(CReadWriteLockUtil& lock) : m_lock(lock) { m_lock.lockForWrite(); }
  ~CWriteLockUtil() { m_lock.unlockForWrite(); }
  CWriteLockUtil(const CWriteLockUtil&) = delete;
  CWriteLockUtil& operator=(const CWriteLockUtil&) = delete;

 private:
  CReadWriteLockUtil& m_lock;
};

// Exclusive hold of a CMutexUtil until the guard ends.
class CMutexLockUtil {
 public:
  explicit CMutexLockUtil(CMutexUtil& mutex) : m_mutex(mutex) { m_mutex.lock(); }
  ~CMutexLockUtil() { m_mutex.unlock(); }
  CMutexLockUtil(const CMutexLockUtil&) = delete;
  CMutexLockUtil& operator=(const CMutexLockUtil&) = delete;

 private:
  CMutexUtil& m_mutex;
};

inline bool ReadersShareLocks() { return true; }

#endif

}  // namespace kqt

#endif
