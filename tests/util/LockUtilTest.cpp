// The locks and their guards: exclusion, readers side by side where the
// system allows it. Built twice on Windows: against kqtUtil, and with the
// stand-in for systems without slim reader/writer locks forced.
#include "util/LockUtil.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "support/TestThread.h"

using kqt::CMutexLockUtil;
using kqt::CMutexUtil;
using kqt::CReadLockUtil;
using kqt::CReadWriteLockUtil;
using kqt::CWriteLockUtil;
using quarn_test::SleepMs;
using quarn_test::Thread;

namespace {
// Waits up to `ms` for `flag`.
bool WaitFor(const std::atomic<bool>& flag, int ms) {
  for (int waited = 0; !flag && waited < ms; waited += 1) SleepMs(1);
  return flag;
}
}  // namespace

TEST(LockUtil, WritersExcludeWritersAndReaders) {
  CReadWriteLockUtil lock;
  long first = 0, second = 0;  // written together under the exclusive hold
  std::atomic<long> torn{0};
  std::vector<Thread> threads;
  threads.reserve(8);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 20000; ++i) {
        CWriteLockUtil hold(lock);
        ++first;
        ++second;
      }
    });
    threads.emplace_back([&] {
      for (int i = 0; i < 20000; ++i) {
        CReadLockUtil hold(lock);
        if (first != second) ++torn;
      }
    });
  }
  for (Thread& thread : threads) thread.join();
  EXPECT_EQ(first, 80000);
  EXPECT_EQ(second, 80000);
  EXPECT_EQ(torn.load(), 0);
}

TEST(LockUtil, MutexExcludes) {
  CMutexUtil mutex;
  long count = 0;
  std::vector<Thread> threads;
  threads.reserve(4);
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < 20000; ++i) {
        CMutexLockUtil hold(mutex);
        ++count;
      }
    });
  for (Thread& thread : threads) thread.join();
  EXPECT_EQ(count, 80000);
}

TEST(LockUtil, ReadersHoldTogetherWhereTheSystemHasSlimLocks) {
#if defined(KQT_LOCKS_WITHOUT_SLIM_LOCKS)
  ASSERT_FALSE(kqt::ReadersShareLocks()) << "the stand-in for Windows XP is in force";
#elif defined(_WIN32)
  ASSERT_TRUE(kqt::ReadersShareLocks()) << "every Windows since Vista, Wine included, has slim locks";
#endif
  CReadWriteLockUtil lock;
  std::atomic<bool> firstHolds{false}, secondHolds{false}, release{false};
  Thread first([&] {
    CReadLockUtil hold(lock);
    firstHolds = true;
    WaitFor(release, 5000);
  });
  ASSERT_TRUE(WaitFor(firstHolds, 5000));
  Thread second([&] {
    CReadLockUtil hold(lock);
    secondHolds = true;
  });
  // Side by side, the second reader gets in at once; with exclusive holds
  // it waits until the first one lets go.
  const bool together = WaitFor(secondHolds, kqt::ReadersShareLocks() ? 5000 : 200);
  release = true;
  first.join();
  second.join();
  EXPECT_EQ(together, kqt::ReadersShareLocks());
  EXPECT_TRUE(secondHolds);
}

TEST(LockUtil, AWriterWaitsForTheReader) {
  CReadWriteLockUtil lock;
  std::atomic<bool> readerHolds{false}, writerHolds{false}, release{false};
  Thread reader([&] {
    CReadLockUtil hold(lock);
    readerHolds = true;
    WaitFor(release, 5000);
  });
  ASSERT_TRUE(WaitFor(readerHolds, 5000));
  Thread writer([&] {
    CWriteLockUtil hold(lock);
    writerHolds = true;
  });
  EXPECT_FALSE(WaitFor(writerHolds, 100));
  release = true;
  reader.join();
  writer.join();
  EXPECT_TRUE(writerHolds);
}
