// quarncfg: prints what the configuration library sees on this machine, for
// the installation that this program's own directory belongs to; checks
// settings files; records a machine in a bundle, replays one, and reads a
// fleet's worth.
#include <csignal>
#include <cstdio>
#include <new>
#include <string>

#include "cli/Commands.h"
#include "cli/InstallationChoice.h"
#include "cli/Options.h"
#include "report/Terminal.h"
#include "util/ToolUtil.h"

namespace quarn_tools {

int Finished(int status) {
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return status;
  PrintError("the report could not be written");
  return 4;
}

int PrintReport(Report& report, const Options& options, const std::string& section, int status) {
  if (options.json)
    report.WriteJson(stdout, section);
  else
    report.PrintText(stdout, section);
  return Finished(status);
}

namespace {

// The executable directory to inspect: this program's, or the one
// --installation names. False, with a message, when it names none.
bool ChooseExecutableDir(const Options& options, std::string& executableDir) {
  executableDir = kqt::CToolUtil::GetApplicationDirPath();
  if (options.installation.empty()) return true;
  const ChosenInstallation chosen = ChooseInstallation(options.installation);
  if (chosen.executableDir.empty()) {
    PrintError("--installation: " + chosen.error);
    return false;
  }
  executableDir = chosen.executableDir;
  return true;
}

int Run(int argc, char** argv) {
  Options options;
  const int parsed = ParseOptions(argc, argv, options);
  if (parsed == 0) return Finished(0);
  if (parsed > 0) return parsed;
  std::string executableDir;
  if (!ChooseExecutableDir(options, executableDir)) return 2;
  switch (options.mode) {
    case Options::Mode::kBundle:
      return BundleCommand(executableDir, options);
    case Options::Mode::kCheck:
      return CheckCommand(executableDir, options);
    case Options::Mode::kReplay:
      return ReplayCommand(options);
    case Options::Mode::kSmbiosDump:
      return SmbiosDumpCommand(options);
    case Options::Mode::kFleet:
      return FleetCommand(options);
    case Options::Mode::kReport:
      break;
  }
  return InspectCommand(executableDir, options);
}

}  // namespace
}  // namespace quarn_tools

int main(int argc, char** argv) {
#if defined(SIGPIPE)
  // A reader that closes early (quarncfg | head) makes a write fail, which
  // is reported, instead of ending the program by a signal.
  std::signal(SIGPIPE, SIG_IGN);
#endif
  // Standard output goes out in blocks of 64 KiB, not a system call per
  // line (Windows' C runtime leaves a console or NUL unbuffered, where a
  // list of a million servers took minutes).
  static char buffer[1 << 16];
  std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
  // An error inside is reported, never an abort.
  try {
    return quarn_tools::Run(argc, argv);
  } catch (const std::bad_alloc&) {
    quarn_tools::PrintError("out of memory: the input needs more memory than the system gives this process");
  } catch (const std::exception& error) {
    quarn_tools::PrintError(error.what());
  } catch (...) {
    quarn_tools::PrintError("unexpected failure");
  }
  return 3;
}
