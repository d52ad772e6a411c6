// Bytes in use through operator new, and the most in use since a mark: a
// program linked with MemoryInUse.cpp counts every allocation of the
// process through it (on Linux the libraries' too; on Windows only the
// program's own, each DLL keeping its own allocator entry).
#ifndef QUARN_BENCH_MEMORYINUSE_H
#define QUARN_BENCH_MEMORYINUSE_H

#include <cstddef>

namespace quarn_bench {

std::size_t MemoryInUse();
// Starts a new peak from what is in use now; returns that.
std::size_t MarkMemoryPeak();
// The most in use since the last mark.
std::size_t MemoryPeak();

}  // namespace quarn_bench

#endif
