// Bytes in use through operator new, and the most in use since a mark: a
// program linked with MemoryInUse.cpp counts every allocation of the
// process through it, the libraries' too. Not on Windows, where each DLL
// keeps its own allocator entry: there every figure is 0.
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
