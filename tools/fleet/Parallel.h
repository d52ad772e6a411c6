// Work on many items shared among a few threads. (tools/platform)
#ifndef QUARN_TOOLS_FLEET_PARALLEL_H
#define QUARN_TOOLS_FLEET_PARALLEL_H

#include <cstddef>
#include <functional>

namespace quarn_tools {

// Calls work(i) once for each i below `count`, on up to `workers` threads
// (the processors there are, when 0), each taking the next item as it is
// free. Returns when all are done. `work` must be safe to run side by side.
void ForEachInParallel(std::size_t count, unsigned workers, const std::function<void(std::size_t)>& work);

}  // namespace quarn_tools

#endif
