#include "InstallationFiles.h"

#include "util/DirCom.h"
#include "util/FileUtil.h"

namespace quarn_tools {

InstallationFiles ReadInstallationFiles(const quarn::layout::Places& places) {
  InstallationFiles files;
  files.settings = ReadCheckedFile(places.configFile, "cli_config.ini");
  files.overrides = ReadCheckedFile(places.overrideFile, "domaincfg.ini");
  files.updaterRecord =
      ReadCheckedFile(places.updateVersionFile, "cur_version.txt", kqt::CFileUtil::kMostLineFileBytes);
  files.updaterDirExists = kqt::CDirCom(places.updateDir).exists();
  files.updaterExecutableSize = kqt::CFileUtil::GetFileSize(places.updateExe);
  return files;
}

bool UpdaterVersionOf(const InstallationFiles& files, std::string& version) {
  // Read as CFileUtil::ReadLine reads: whole, within its bound, not empty.
  const bool read = files.updaterRecord.status == CheckedFile::Status::kRead && !files.updaterRecord.content.empty();
  return quarn::layout::UpdateVersionOfRecord(files.updaterDirExists, read, files.updaterRecord.content, version);
}

}  // namespace quarn_tools
