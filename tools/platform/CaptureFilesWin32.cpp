#include <fcntl.h>
#include <io.h>

#include <chrono>
#include <random>
#include <string>

#include "bundle/CaptureFiles.h"
#include "util/platform/Win32.h"

namespace quarn_tools {

std::FILE* CreateTemporaryFile() {
  // The user's own temporary directory: the C runtime's tmpfile() makes its
  // file in the root of the drive, which a normal user may not write.
  wchar_t directory[MAX_PATH + 1];
  const DWORD length = ::GetTempPathW(MAX_PATH + 1, directory);
  if (length == 0 || length > MAX_PATH) return nullptr;
  std::mt19937_64 random(std::random_device{}() ^
                         static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count()));
  for (int attempt = 0; attempt < 16; ++attempt) {
    const std::wstring name = std::wstring(directory, length) + L"quarncfg-" + std::to_wstring(random()) + L".tmp";
    // CREATE_NEW: never a file that exists; not shared, and deleted when
    // the last handle to it closes.
    const HANDLE handle = ::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      if (::GetLastError() == ERROR_FILE_EXISTS) continue;
      return nullptr;
    }
    const int descriptor = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDWR | _O_BINARY);
    if (descriptor < 0) {
      ::CloseHandle(handle);
      return nullptr;
    }
    std::FILE* file = ::_fdopen(descriptor, "w+b");
    if (!file) ::_close(descriptor);
    return file;
  }
  return nullptr;
}

int DuplicateDescriptor(int descriptor) { return ::_dup(descriptor); }
bool RedirectDescriptor(int descriptor, int onto) { return ::_dup2(descriptor, onto) >= 0; }
void CloseDescriptor(int descriptor) { ::_close(descriptor); }
int DescriptorOf(std::FILE* stream) { return ::_fileno(stream); }

}  // namespace quarn_tools
