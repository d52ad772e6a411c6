// The real implementation of a platform seam, and the substitute a test may
// put in its place. One per seam, inside the library that owns the seam.
#ifndef KQT_UTIL_PLATFORM_SUBSTITUTABLE_H
#define KQT_UTIL_PLATFORM_SUBSTITUTABLE_H

#include <atomic>

namespace kqt {
namespace sys {

template <class Interface>
class Substitutable {
 public:
  // The substitute in force, else the real implementation.
  Interface& Current() {
    Interface* substitute = m_substitute.load(std::memory_order_acquire);
    return substitute ? *substitute : Real();
  }
  static Interface& Real() {
    static Interface real;
    return real;
  }
  // Puts `substitute` in force (null: the real one) and returns the previous.
  Interface* Substitute(Interface* substitute) { return m_substitute.exchange(substitute, std::memory_order_acq_rel); }

 private:
  std::atomic<Interface*> m_substitute{nullptr};
};

}  // namespace sys
}  // namespace kqt

#endif
