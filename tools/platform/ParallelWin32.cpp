#include <vector>

#include "fleet/Parallel.h"
#include "util/platform/Win32.h"

namespace quarn_tools {
namespace {

struct Shared {
  std::size_t count;
  const std::function<void(std::size_t)>* work;
  volatile LONG next;
};

void Drain(Shared& shared) {
  for (;;) {
    const std::size_t i = static_cast<std::size_t>(::InterlockedIncrement(&shared.next) - 1);
    if (i >= shared.count) return;
    (*shared.work)(i);
  }
}

DWORD WINAPI Worker(LPVOID parameter) {
  Drain(*static_cast<Shared*>(parameter));
  return 0;
}

}  // namespace

// Threads of the system's own (XP on); where one cannot be made, the
// calling thread does the rest.
void ForEachInParallel(std::size_t count, unsigned workers, const std::function<void(std::size_t)>& work) {
  if (workers == 0) {
    SYSTEM_INFO info;
    ::GetSystemInfo(&info);
    workers = info.dwNumberOfProcessors ? static_cast<unsigned>(info.dwNumberOfProcessors) : 1u;
  }
  Shared shared{count, &work, 0};
  std::vector<HANDLE> threads;
  for (unsigned t = 1; t < workers && t < count && t < MAXIMUM_WAIT_OBJECTS; ++t) {
    const HANDLE thread = ::CreateThread(nullptr, 0, Worker, &shared, 0, nullptr);
    if (thread) threads.push_back(thread);
  }
  Drain(shared);
  if (!threads.empty()) ::WaitForMultipleObjects(static_cast<DWORD>(threads.size()), threads.data(), TRUE, INFINITE);
  for (HANDLE thread : threads) ::CloseHandle(thread);
}

}  // namespace quarn_tools
