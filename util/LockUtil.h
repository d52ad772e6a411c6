// Locks and the guards that hold them for one scope. Header-only: a guarded
// getter costs no more than the lock itself.
#ifndef KQT_UTIL_LOCKUTIL_H
#define KQT_UTIL_LOCKUTIL_H

#include <mutex>
#include <shared_mutex>

namespace kqt {

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
