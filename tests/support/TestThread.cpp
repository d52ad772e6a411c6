#include "support/TestThread.h"

#if defined(_WIN32)
#include "util/platform/Win32.h"

#include <stdexcept>
#else
#include <chrono>
#include <thread>
#endif

namespace quarn_test {

#if defined(_WIN32)

struct Thread::State {
  std::function<void()> body;
  HANDLE handle = nullptr;
};

namespace {
DWORD WINAPI RunBody(LPVOID parameter) {
  static_cast<std::function<void()>*>(parameter)->operator()();
  return 0;
}
}  // namespace

Thread::Thread(std::function<void()> body) : m_state(new State) {
  m_state->body = std::move(body);
  m_state->handle = ::CreateThread(nullptr, 0, RunBody, &m_state->body, 0, nullptr);
  if (!m_state->handle) throw std::runtime_error("CreateThread failed");
}

void Thread::join() {
  if (!m_state || !m_state->handle) return;
  ::WaitForSingleObject(m_state->handle, INFINITE);
  ::CloseHandle(m_state->handle);
  m_state->handle = nullptr;
}

void SleepMs(unsigned milliseconds) { ::Sleep(milliseconds); }

#else

struct Thread::State {
  std::thread thread;
};

Thread::Thread(std::function<void()> body) : m_state(new State) { m_state->thread = std::thread(std::move(body)); }

void Thread::join() {
  if (m_state && m_state->thread.joinable()) m_state->thread.join();
}

void SleepMs(unsigned milliseconds) {
  if (milliseconds == 0)
    std::this_thread::yield();
  else
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

#endif

Thread::Thread(Thread&& other) noexcept = default;

Thread::~Thread() { join(); }

}  // namespace quarn_test
