// GoogleTest's thread-safe mode needs std::mutex and std::condition_variable
// (for a helper of its own tests), which the win32 thread model of GCC 12
// does not have; the product uses that model because its runtime DLLs load
// on Windows XP. For the test programs only, this forced include supplies
// the two, simply: a yielding spin lock and a polling wait. Nothing the
// product ships includes it. windows.h is not included here (its macros
// would reach every test); Sleep is declared as windows.h declares it.
#ifndef QUARN_TESTS_SUPPORT_WIN32_STDMUTEXSHIM_H
#define QUARN_TESTS_SUPPORT_WIN32_STDMUTEXSHIM_H

#if defined(__cplusplus) && defined(_WIN32) && !defined(_GLIBCXX_HAS_GTHREADS)

#include <atomic>
#include <mutex>

extern "C" __declspec(dllimport) void __stdcall Sleep(unsigned long milliseconds);

namespace std {

class mutex {
 public:
  mutex() = default;
  mutex(const mutex&) = delete;
  mutex& operator=(const mutex&) = delete;
  void lock() {
    while (m_held.test_and_set(memory_order_acquire)) ::Sleep(0);
  }
  bool try_lock() { return !m_held.test_and_set(memory_order_acquire); }
  void unlock() { m_held.clear(memory_order_release); }

 private:
  atomic_flag m_held = ATOMIC_FLAG_INIT;
};

class condition_variable {
 public:
  condition_variable() = default;
  condition_variable(const condition_variable&) = delete;
  condition_variable& operator=(const condition_variable&) = delete;
  void notify_one() {}
  void notify_all() {}
  // Waiters look again every millisecond.
  void wait(unique_lock<mutex>& lock) {
    lock.unlock();
    ::Sleep(1);
    lock.lock();
  }
  template <class Predicate>
  void wait(unique_lock<mutex>& lock, Predicate ready) {
    while (!ready()) wait(lock);
  }
};

}  // namespace std

#endif

#endif
