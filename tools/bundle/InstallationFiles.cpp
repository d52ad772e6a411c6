#include "bundle/InstallationFiles.h"

#include "util/DirCom.h"
#include "util/FileUtil.h"
#include "util/platform/ReadFile.h"

namespace quarn_tools {

CheckedFile ReadCheckedFile(const std::string& path, const std::string& label, std::size_t limit) {
  CheckedFile file;
  file.path = path;
  file.label = label;
  switch (kqt::sys::ReadRegularFile(path, limit, file.content)) {
    case kqt::sys::ReadStatus::kOk:
      file.status = CheckedFile::Status::kRead;
      break;
    case kqt::sys::ReadStatus::kMissing:
      file.status = CheckedFile::Status::kMissing;
      break;
    case kqt::sys::ReadStatus::kNotRegular:
      file.status = CheckedFile::Status::kNotRegular;
      break;
    case kqt::sys::ReadStatus::kTooLarge:
      file.status = CheckedFile::Status::kTooLarge;
      break;
    case kqt::sys::ReadStatus::kFailed:
      file.status = CheckedFile::Status::kUnreadable;
      break;
  }
  if (file.status != CheckedFile::Status::kRead) file.content.clear();
  return file;
}

InstallationFiles ReadInstallationFiles(const quarn::layout::Places& places) {
  using namespace quarn::layout;
  InstallationFiles files;
  files.settings = ReadCheckedFile(places.configFile, kSettingsFileName);
  files.overrides = ReadCheckedFile(places.overrideFile, kOverrideFileName);
  files.updaterRecord =
      ReadCheckedFile(places.updateVersionFile, kUpdateVersionFileName, kqt::CFileUtil::kMostLineFileBytes);
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
