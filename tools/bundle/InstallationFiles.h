// The files of an installation that the library's answers about it come
// from, read as the library reads them: the settings file, the override
// file, the updater's version record, and what the updater's directory and
// executable say. Read from the installation's disk (--installation,
// --no-create, quarncfg bundle, check) or taken from a bundle.
#ifndef QUARN_TOOLS_BUNDLE_INSTALLATIONFILES_H
#define QUARN_TOOLS_BUNDLE_INSTALLATIONFILES_H

#include <cstdint>
#include <string>

#include "config/LayoutRules.h"
#include "config/SettingsRules.h"
#include "lint/CheckedFile.h"

namespace quarn_tools {

// The file at `path` by the library's bounded read of a regular file: at
// most `limit` bytes, the settings files' bound unless another is given.
CheckedFile ReadCheckedFile(const std::string& path, const std::string& label,
                            std::size_t limit = quarn::settings::kMostFileBytes);

// What the file at `path` is, in words: "a regular file", "a directory",
// "a FIFO", "a character device", ..., or "missing". (tools/platform)
std::string FileKind(const std::string& path);

struct InstallationFiles {
  CheckedFile settings, overrides;
  CheckedFile updaterRecord;  // read as the library reads it: at most 64 KiB
  bool updaterDirExists = false;
  std::uint64_t updaterExecutableSize = 0;  // as the library's file-size query gives it
};

InstallationFiles ReadInstallationFiles(const quarn::layout::Places& places);

// The updater's version and whether its record was read, by the library's
// rule over these files.
bool UpdaterVersionOf(const InstallationFiles& files, std::string& version);

}  // namespace quarn_tools

#endif
