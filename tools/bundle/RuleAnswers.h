// The answers the library's rules give for an installation from its files
// alone: what an installation inspected from outside (--installation,
// --no-create) and a recorded one have in common.
#ifndef QUARN_TOOLS_BUNDLE_RULEANSWERS_H
#define QUARN_TOOLS_BUNDLE_RULEANSWERS_H

#include "bundle/InstallationFiles.h"
#include "report/Answers.h"

namespace quarn_tools {

SettingsAnswers SettingsOfFiles(const InstallationFiles& files);

// The server lists of a settings read, taken from it: the Servers section
// alone shows them, and a list of a million servers is not copied.
quarn::settings::SettingsRecord TakeServerLists(quarn::settings::SettingsRecord& from);

// The versions (the client's from `settings`, as read from these files), the
// updater's record and the URLs; the client's version detail with 0 for the
// size of the program that asks, and no process id.
VersionsAnswers VersionsOfFiles(const InstallationFiles& files, const quarn::layout::Places& places,
                                const quarn::settings::SettingsRecord& settings);

}  // namespace quarn_tools

#endif
