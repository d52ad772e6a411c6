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

quarn::settings::SettingsRecord TakeServerLists(quarn::settings::SettingsRecord& from) {
  quarn::settings::SettingsRecord lists;
  for (std::size_t r = 0; r < quarn::settings::kSettingCount; ++r) {
    const quarn::settings::SettingRow& row = quarn::settings::Setting(r);
    if (row.list) lists.*row.list = std::move(from.*row.list);
  }
  return lists;
}

VersionsAnswers VersionsOfFiles(const InstallationFiles& files, const quarn::layout::Places& places,
                                const quarn::settings::SettingsRecord& settings) {
  VersionsAnswers answers;
  answers.clientVersion = quarn::settings::ClientVersion(settings);
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
