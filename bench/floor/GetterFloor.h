// The floor of a cached getter, as a caller of the library meets it: an
// exported, non-inlined member function of another shared library, built
// with the library's flags, that takes the same shared hold and copies a
// text of the same length.
#ifndef QUARN_BENCH_GETTERFLOOR_H
#define QUARN_BENCH_GETTERFLOOR_H

#include <string>

#include "bench/GetterFloorExport.h"
#include "util/LockUtil.h"

class QUARN_GETTER_FLOOR_API CGetterFloor {
 public:
  explicit CGetterFloor(const std::string& text);
  std::string Get();

 private:
  kqt::CReadWriteLockUtil m_lock;
  std::string m_text;
};

#endif
