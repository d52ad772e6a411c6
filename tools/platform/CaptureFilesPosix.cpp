#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "bundle/CaptureFiles.h"

namespace quarn_tools {

std::FILE* CreateTemporaryFile() {
  std::error_code error;
  std::string directory = std::filesystem::temp_directory_path(error).string();
  if (error || directory.empty()) directory = "/tmp";
  std::string name = directory + "/quarncfg-XXXXXX";
  // mkostemp creates the file with O_EXCL; its name goes at once, so that
  // nothing can reach it by name.
  const int descriptor = ::mkostemp(&name[0], O_CLOEXEC);
  if (descriptor < 0) return std::tmpfile();
  ::unlink(name.c_str());
  std::FILE* file = ::fdopen(descriptor, "w+b");
  if (!file) ::close(descriptor);
  return file;
}

int DuplicateDescriptor(int descriptor) { return ::dup(descriptor); }
bool RedirectDescriptor(int descriptor, int onto) { return ::dup2(descriptor, onto) >= 0; }
void CloseDescriptor(int descriptor) { ::close(descriptor); }
int DescriptorOf(std::FILE* stream) { return ::fileno(stream); }

}  // namespace quarn_tools
