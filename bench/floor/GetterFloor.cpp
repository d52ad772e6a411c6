#include "bench/floor/GetterFloor.h"

CGetterFloor::CGetterFloor(const std::string& text) : m_text(text) {}

std::string CGetterFloor::Get() {
  kqt::CReadLockUtil hold(m_lock);
  return m_text;
}
