#include "bundle/RuleAnswers.h"

#include "config/UrlRules.h"

namespace quarn_tools {

SettingsAnswers SettingsOfFiles(const InstallationFiles& files) {
  quarn::settings::SettingsReading reading = ReadSettingsFiles(files.settings, files.overrides);
  SettingsAnswers answers;
  answers.loaded = reading.settingsLoaded;
  answers.notLoadedBecause = StatusName(files.settings.status);
  answers.record = std::move(reading.record);
  return answers;
}

VersionsAnswers VersionsOfFiles(const InstallationFiles& files, const quarn::layout::Places& places) {
  VersionsAnswers answers;
  answers.clientVersion = quarn::settings::ClientVersion(SettingsOfFiles(files).record);
  answers.updaterRecordRead = UpdaterVersionOf(files, answers.updaterVersion);
  answers.updaterRecordPath = places.updateVersionFile;
  answers.updaterDetail =
      quarn::layout::VersionDetail(answers.updaterVersion, static_cast<long long>(files.updaterExecutableSize));
  answers.clientDetail = quarn::layout::VersionDetail(answers.clientVersion, 0);
  answers.updateServer = quarn::urls::UpdateServer();
  answers.reportUrl = quarn::urls::ReportUrl();
  answers.downloadUrl = quarn::urls::DownloadUrl();
  answers.platformDownloadUrl = quarn::urls::PlatformDownloadUrl();
  return answers;
}

}  // namespace quarn_tools
