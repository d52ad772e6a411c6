// A thread for the tests. The Windows build uses the compiler's win32
// thread model (its runtime loads on Windows XP), which in GCC 12 has no
// std::thread; this runs a function on a thread of the system's own there.
#ifndef QUARN_TESTS_SUPPORT_TESTTHREAD_H
#define QUARN_TESTS_SUPPORT_TESTTHREAD_H

#include <functional>
#include <memory>

namespace quarn_test {

class Thread {
 public:
  explicit Thread(std::function<void()> body);
  Thread(Thread&& other) noexcept;
  Thread& operator=(Thread&&) = delete;
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;
  // Joins the thread if it was not joined.
  ~Thread();
  void join();

 private:
  struct State;
  std::unique_ptr<State> m_state;
};

// Sleeps the calling thread; gives up the processor for 0.
void SleepMs(unsigned milliseconds);

}  // namespace quarn_test

#endif
