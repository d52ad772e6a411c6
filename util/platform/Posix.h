// What the POSIX sources of the project share, the twin of Win32.h: a file
// descriptor that closes itself. POSIX only.
#ifndef KQT_UTIL_PLATFORM_POSIX_H
#define KQT_UTIL_PLATFORM_POSIX_H

#if defined(_WIN32)
#error "util/platform/Posix.h is for POSIX builds only"
#endif

#include <unistd.h>

namespace kqt {
namespace sys {

// A file descriptor closed at the end of its scope; -1 for none.
class ScopedDescriptor {
 public:
  explicit ScopedDescriptor(int descriptor = -1) : m_descriptor(descriptor) {}
  ~ScopedDescriptor() {
    if (valid()) ::close(m_descriptor);
  }
  ScopedDescriptor(const ScopedDescriptor&) = delete;
  ScopedDescriptor& operator=(const ScopedDescriptor&) = delete;

  int get() const { return m_descriptor; }
  bool valid() const { return m_descriptor >= 0; }
  // Hands the descriptor over to the caller, who closes it.
  int release() {
    const int descriptor = m_descriptor;
    m_descriptor = -1;
    return descriptor;
  }

 private:
  int m_descriptor;
};

}  // namespace sys
}  // namespace kqt

#endif
