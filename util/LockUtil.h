// Locks and the guards that hold them for one scope.
//
// On Windows the locks are the system's slim reader/writer locks. The
// standard ones of MinGW rest on winpthreads, which initialises a lock on its
// first use and can give two threads that first use it at the same moment
// two different locks. Elsewhere they are the standard library's, inline.
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
  CReadWriteLockUtil() = default;
  CReadWriteLockUtil(const CReadWriteLockUtil&) = delete;
  CReadWriteLockUtil& operator=(const CReadWriteLockUtil&) = delete;

  void lockForRead();
  void unlockForRead();
  void lockForWrite();
  void unlockForWrite();

 private:
  void* m_lock = nullptr;  // an SRWLOCK: all zero is its initial state
};

class KQTUTIL_API CMutexUtil {
 public:
  CMutexUtil() = default;
  CMutexUtil(const CMutexUtil&) = delete;
  CMutexUtil& operator=(const CMutexUtil&) = delete;

  void lock();
  void unlock();

 private:
  void* m_lock = nullptr;  // an SRWLOCK, held exclusively
};

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

#endif

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

}  // namespace kqt

#endif
