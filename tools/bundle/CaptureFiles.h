// What the inspector's capture of the library's output needs of the
// system: a file of its own to write to and read back, and standard output
// sent elsewhere and back.
#ifndef QUARN_TOOLS_BUNDLE_CAPTUREFILES_H
#define QUARN_TOOLS_BUNDLE_CAPTUREFILES_H

#include <cstdio>

namespace quarn_tools {

// A new file in the user's temporary directory, opened for reading and
// writing. It is made exclusively (never one that exists, nor one another
// program put there under the same name), never opened again by name, and
// gone from the disk when closed. Null when none can be made.
std::FILE* CreateTemporaryFile();

// The descriptor calls of the C runtime, under one name on every system.
int DuplicateDescriptor(int descriptor);            // -1 on failure
bool RedirectDescriptor(int descriptor, int onto);  // onto now refers to what descriptor does
void CloseDescriptor(int descriptor);
int DescriptorOf(std::FILE* stream);

}  // namespace quarn_tools

#endif
