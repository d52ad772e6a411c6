// What the library's answers on one machine come from, as that machine
// delivered it: the installation's files, the operating system's values, the
// local addresses, the firmware's SMBIOS bytes and the hypervisor's CPUID
// leaves. Collected by quarncfg bundle, carried in a bundle, and replayed
// through the library's own rules on another machine.
#ifndef QUARN_TOOLS_BUNDLE_MACHINERECORD_H
#define QUARN_TOOLS_BUNDLE_MACHINERECORD_H

#include <cstdint>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "config/WindowsVersionInfo.h"
#include "hwinfo/platform/FirmwarePlatform.h"
#include "lint/CheckedFile.h"
#include "report/Report.h"

namespace quarn_tools {

// How the recorded system writes paths: "/" only (POSIX), or Windows'
// rules with the lead bytes of its ANSI code page (a backslash after one is
// part of a character, not a separator).
struct PathStyleRecord {
  bool windows = false;
  std::string leadBytes;  // the lead bytes, each once, in ascending order
};

// A file as recorded: its path, what became of reading it (the library's
// bounded read), and its bytes when it was read.
struct RecordedFile {
  std::string path;
  CheckedFile::Status status = CheckedFile::Status::kNotGiven;
  std::string content;
};

// What the firmware seam answered, question by question.
struct FirmwareRecord {
  bool firmwareService = false;  // the table comes from the firmware-table service
  bool blockGiven = false;       // the service gave a block (else `diagnostic` says why not)
  std::string block;             // the raw block: 8-byte header, then the table
  std::string blockDiagnostic;
  struct MemoryRead {
    std::uint32_t address = 0, length = 0;
    bool copied = false;
    std::string bytes;  // `length` bytes when copied
    std::string diagnostics;
  };
  std::vector<MemoryRead> memoryReads;                        // in the order asked, each range once
  std::map<std::uint32_t, quarn::sys::CpuidRegisters> cpuid;  // the leaves asked
};

// The only throw the check finds is inside nlohmann::json's destructor (it
// allocates while taking a deep value apart); nothing of ours can throw there.
// NOLINTNEXTLINE(bugprone-exception-escape)
struct MachineRecord {
  // Who made the record, and when.
  std::string madeBy;          // "quarncfg 1.0.0"
  std::string libraryVersion;  // "1.0.0"
  std::string madeAt;          // UTC, "2026-12-09T08:00:00Z"
  bool redacted = false;

  // The installation, and how the inspector took it: the executable
  // directory E the layout starts from, whether its sections came from the
  // rules over its files (--installation, or an object not made) rather
  // than from the object, what became of R/globalcfg, and why the
  // library's object was not made ("" when it was).
  std::string executableDir;
  PathStyleRecord pathStyle;
  bool installationFromRules = false;
  std::string globalCfgState;  // "existed", "created", "would_be_created", "missing"
  std::string notMadeBecause;
  RecordedFile settingsFile, overrideFile, updaterVersionRecord;
  bool updaterDirExists = false;
  std::uint64_t updaterExecutableSize = 0;  // as the library's file-size query gives it

  // The process that asked, and the machine's process list.
  long long callingProgramSize = 0;
  int updaterPid = 0;

  // The host.
  bool machineNameKnown = false;
  std::string machineName;
  quarn::sys::WindowsVersionInfo windowsVersion;
  quarn::sys::RealWindowsVersion trueWindowsVersion;
  bool system64Bit = false;
  std::vector<std::string> localAddresses;

  FirmwareRecord firmware;

  // The report the inspector printed where the record was made, field by
  // field as canonical JSON: it is only compared.
  CanonicalReport report;

  // What a redacted bundle says it replaced and kept (null when not
  // redacted).
  nlohmann::json redaction;

  // As read: whether the bundle recorded the digest of its content, and
  // whether the content still matches it.
  bool digestRecorded = false;
  bool digestMatches = false;
};

}  // namespace quarn_tools

#endif
