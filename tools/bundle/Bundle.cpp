#include "bundle/Bundle.h"

#include <algorithm>
#include <iterator>
#include <limits>

#include <functional>
#include <set>

#include "bundle/Base64.h"
#include "bundle/CanonicalJson.h"
#include "bundle/Crypto.h"
#include "report/Answers.h"
#include "report/Sections.h"
#include "report/Utf8Text.h"
#include "util/platform/ReadFile.h"

namespace quarn_tools {
namespace {

// Written in the order a reader expects; read into objects that find a key
// without a walk (an ordered object looks each key up from its start, which
// costs the square of the keys of a hostile bundle).
using Json = nlohmann::ordered_json;
using In = nlohmann::json;

const std::size_t kMostRecordBytes = std::size_t{64} << 10;  // the updater's record, as the library reads it
const std::size_t kMostTextBytes = std::size_t{64} << 10;    // a path, a name, an address

// A text of the system (a path, a name): a JSON string when it is UTF-8,
// else its bytes, so that every text comes back exactly as it was.
Json TextJson(const std::string& text) {
  if (IsValidUtf8(text)) return text;
  return Json{{"base64", Base64Encode(text)}};
}

Json BytesJson(const std::string& bytes) { return Json{{"size", bytes.size()}, {"base64", Base64Encode(bytes)}}; }

Json FileJson(const RecordedFile& file) {
  return Json{{"path", TextJson(file.path)},
              {"status", StatusName(file.status)},
              {"size", file.content.size()},
              {"base64", Base64Encode(file.content)}};
}

Json RegistersJson(std::uint32_t leaf, const quarn::sys::CpuidRegisters& registers) {
  return Json{
      {"leaf", leaf}, {"eax", registers.eax}, {"ebx", registers.ebx}, {"ecx", registers.ecx}, {"edx", registers.edx}};
}

// The member `key` of `object`, or null where it has none (a bundle's
// fields are never looked up by operator[], which would add them).
const In& At(const In& object, const char* key) {
  static const In kNone;
  if (!object.is_object()) return kNone;
  const auto found = object.find(key);
  return found == object.end() ? kNone : *found;
}

// Reads the fields of a bundle, saying where the first fault lies.
class Fields {
 public:
  explicit Fields(std::string& error) : m_error(error) {}

  bool Fail(const std::string& pointer, const std::string& why) {
    if (m_error.empty()) m_error = pointer + ": " + why;
    return false;
  }

  // The member `key` of `object`, of the kind `is` accepts.
  const In* Member(const In& object, const std::string& pointer, const char* key, bool (In::*is)() const,
                   const char* kind) {
    const std::string member = pointer + "/" + key;
    if (!object.is_object()) {
      Fail(pointer, "not an object");
      return nullptr;
    }
    const auto found = object.find(key);
    if (found == object.end()) {
      Fail(member, "missing");
      return nullptr;
    }
    if (!((*found).*is)()) {
      Fail(member, std::string("not ") + kind);
      return nullptr;
    }
    return &*found;
  }

  bool Object(const In& object, const std::string& pointer, const char* key, const In*& out) {
    out = Member(object, pointer, key, &In::is_object, "an object");
    return out != nullptr;
  }

  bool Bool(const In& object, const std::string& pointer, const char* key, bool& out) {
    const In* value = Member(object, pointer, key, &In::is_boolean, "true or false");
    if (value) out = value->get<bool>();
    return value != nullptr;
  }

  // An integer in [lowest, highest].
  template <typename Integer>
  bool Number(const In& object, const std::string& pointer, const char* key, Integer& out,
              long double lowest = static_cast<long double>(std::numeric_limits<Integer>::min()),
              long double highest = static_cast<long double>(std::numeric_limits<Integer>::max())) {
    const In* value = Member(object, pointer, key, &In::is_number_integer, "an integer");
    if (!value) return false;
    const long double number = value->is_number_unsigned() ? static_cast<long double>(value->get<std::uint64_t>())
                                                           : static_cast<long double>(value->get<std::int64_t>());
    if (number < lowest || number > highest) return Fail(pointer + "/" + key, "out of range");
    out = value->is_number_unsigned() ? static_cast<Integer>(value->get<std::uint64_t>())
                                      : static_cast<Integer>(value->get<std::int64_t>());
    return true;
  }

  bool String(const In& object, const std::string& pointer, const char* key, std::string& out,
              std::size_t most = kMostTextBytes) {
    const In* value = Member(object, pointer, key, &In::is_string, "a text");
    if (!value) return false;
    if (value->get_ref<const std::string&>().size() > most) return Fail(pointer + "/" + key, "too long");
    out = value->get<std::string>();
    return true;
  }

  // A text written by TextJson, or null when `nullable`.
  bool Text(const In& value, const std::string& pointer, std::string& out) {
    if (value.is_string()) {
      if (value.get_ref<const std::string&>().size() > kMostTextBytes) return Fail(pointer, "too long");
      out = value.get<std::string>();
      return true;
    }
    std::string encoded;
    if (!value.is_object() || !String(value, pointer, "base64", encoded, kMostTextBytes * 2))
      return Fail(pointer, "not a text");
    if (!Base64Decode(encoded, out)) return Fail(pointer + "/base64", "not base64");
    return true;
  }

  bool Text(const In& object, const std::string& pointer, const char* key, std::string& out) {
    if (!object.is_object() || object.find(key) == object.end()) return Fail(pointer + "/" + key, "missing");
    return Text(object.at(key), pointer + "/" + key, out);
  }

  // Bytes with their size: the size must be that of the bytes, and at most
  // `most`.
  bool Bytes(const In& object, const std::string& pointer, std::string& out, std::size_t most) {
    std::size_t size = 0;
    std::string encoded;
    if (!Number(object, pointer, "size", size) || !String(object, pointer, "base64", encoded, (most + 2) / 3 * 4))
      return false;
    if (size > most) return Fail(pointer + "/size", "beyond the bound of " + std::to_string(most) + " bytes");
    if (!Base64Decode(encoded, out)) return Fail(pointer + "/base64", "not base64");
    if (out.size() != size)
      return Fail(pointer + "/size",
                  std::to_string(size) + " does not match the " + std::to_string(out.size()) + " bytes given");
    return true;
  }

  bool File(const In& object, const std::string& pointer, const char* key, RecordedFile& file, std::size_t most) {
    const In* value = nullptr;
    const std::string member = pointer + "/" + key;
    std::string status;
    if (!Object(object, pointer, key, value) || !Text(*value, member, "path", file.path) ||
        !String(*value, member, "status", status) || !Bytes(*value, member, file.content, most))
      return false;
    if (!StatusFromName(status, file.status)) return Fail(member + "/status", "not a file status");
    if (file.status != CheckedFile::Status::kRead && !file.content.empty())
      return Fail(member + "/size", "bytes of a file that was not read");
    return true;
  }

 private:
  std::string& m_error;
};

bool ReadWindowsVersion(Fields& f, const In& host, quarn::sys::WindowsVersionInfo& info) {
  const In* v = nullptr;
  const std::string at = "/host/windows_version";
  std::string servicePack;
  if (!f.Object(host, "/host", "windows_version", v) || !f.Number(*v, at, "platform_id", info.platformId) ||
      !f.Number(*v, at, "major", info.major) || !f.Number(*v, at, "minor", info.minor) ||
      !f.Number(*v, at, "build", info.build) ||
      !f.Bytes(At(*v, "service_pack"), at + "/service_pack", servicePack, sizeof info.servicePack) ||
      !f.Number(*v, at, "product_type", info.productType) || !f.Number(*v, at, "suite_mask", info.suiteMask) ||
      !f.Number(*v, at, "processor_architecture", info.processorArchitecture) ||
      !f.Number(*v, at, "server_r2", info.serverR2) || !f.Number(*v, at, "product_code", info.productCode))
    return false;
  std::fill(std::begin(info.servicePack), std::end(info.servicePack), '\0');
  std::copy(servicePack.begin(), servicePack.end(), info.servicePack);
  return true;
}

bool ReadFirmware(Fields& f, const In& bundle, FirmwareRecord& firmware) {
  const In* fw = nullptr;
  const std::string at = "/firmware";
  if (!f.Object(bundle, "", "firmware", fw) || !f.Bool(*fw, at, "firmware_service", firmware.firmwareService) ||
      !f.Bool(*fw, at, "block_given", firmware.blockGiven) ||
      !f.String(*fw, at, "block_diagnostic", firmware.blockDiagnostic) ||
      !f.Bytes(At(*fw, "block"), at + "/block", firmware.block, quarn::sys::kMostFirmwareBytes))
    return false;
  if (!firmware.blockGiven && !firmware.block.empty()) return f.Fail(at + "/block", "bytes of a block not given");
  const In& reads = At(*fw, "memory_reads");
  if (!reads.is_array()) return f.Fail(at + "/memory_reads", "not a list");
  if (reads.size() > kMostMemoryReads) return f.Fail(at + "/memory_reads", "more reads than the library makes");
  for (std::size_t i = 0; i < reads.size(); ++i) {
    const std::string r = at + "/memory_reads/" + std::to_string(i);
    FirmwareRecord::MemoryRead read;
    if (!f.Number(reads[i], r, "address", read.address) || !f.Number(reads[i], r, "length", read.length) ||
        !f.Bool(reads[i], r, "copied", read.copied) || !f.String(reads[i], r, "diagnostics", read.diagnostics) ||
        !f.Bytes(At(reads[i], "bytes"), r + "/bytes", read.bytes, quarn::sys::kMostFirmwareBytes))
      return false;
    if (read.length > quarn::sys::kMostFirmwareBytes) return f.Fail(r + "/length", "beyond the firmware bound");
    if (read.copied != (read.bytes.size() == read.length) || (!read.copied && !read.bytes.empty()))
      return f.Fail(r + "/bytes", "does not hold the range's bytes");
    firmware.memoryReads.push_back(std::move(read));
  }
  const In& leaves = At(*fw, "cpuid");
  if (!leaves.is_array()) return f.Fail(at + "/cpuid", "not a list");
  if (leaves.size() > kMostCpuidLeaves) return f.Fail(at + "/cpuid", "more leaves than the library asks");
  for (std::size_t i = 0; i < leaves.size(); ++i) {
    const std::string l = at + "/cpuid/" + std::to_string(i);
    std::uint32_t leaf = 0;
    quarn::sys::CpuidRegisters registers;
    if (!f.Number(leaves[i], l, "leaf", leaf) || !f.Number(leaves[i], l, "eax", registers.eax) ||
        !f.Number(leaves[i], l, "ebx", registers.ebx) || !f.Number(leaves[i], l, "ecx", registers.ecx) ||
        !f.Number(leaves[i], l, "edx", registers.edx))
      return false;
    if (!firmware.cpuid.emplace(leaf, registers).second) return f.Fail(l + "/leaf", "given twice");
  }
  return true;
}

}  // namespace

namespace {

Json InstallationJson(const MachineRecord& record) {
  return Json{
      {"executable_directory", TextJson(record.executableDir)},
      {"path_style", {{"windows", record.pathStyle.windows}, {"lead_bytes", BytesJson(record.pathStyle.leadBytes)}}},
      {"installation_from_rules", record.installationFromRules},
      {"global_config_directory_state", record.globalCfgState},
      {"library_object_not_made_because", TextJson(record.notMadeBecause)},
      {"settings_file", FileJson(record.settingsFile)},
      {"override_file", FileJson(record.overrideFile)},
      {"updater_version_record", FileJson(record.updaterVersionRecord)},
      {"updater_directory_exists", record.updaterDirExists},
      {"updater_executable_size", record.updaterExecutableSize},
  };
}

Json HostJson(const MachineRecord& record) {
  const quarn::sys::WindowsVersionInfo& v = record.windowsVersion;
  return Json{
      {"machine_name_known", record.machineNameKnown},
      {"machine_name", TextJson(record.machineName)},
      {"windows_version",
       {{"platform_id", v.platformId},
        {"major", v.major},
        {"minor", v.minor},
        {"build", v.build},
        {"service_pack", BytesJson(std::string(v.servicePack, sizeof v.servicePack))},
        {"product_type", v.productType},
        {"suite_mask", v.suiteMask},
        {"processor_architecture", v.processorArchitecture},
        {"server_r2", v.serverR2},
        {"product_code", v.productCode}}},
      {"true_windows_version",
       {{"known", record.trueWindowsVersion.known},
        {"major", record.trueWindowsVersion.major},
        {"minor", record.trueWindowsVersion.minor},
        {"build", record.trueWindowsVersion.build}}},
      {"system_64_bit", record.system64Bit},
  };
}

Json FirmwareJson(const FirmwareRecord& firmware) {
  Json reads = Json::array();
  for (const FirmwareRecord::MemoryRead& read : firmware.memoryReads)
    reads.push_back({{"address", read.address},
                     {"length", read.length},
                     {"copied", read.copied},
                     {"bytes", BytesJson(read.bytes)},
                     {"diagnostics", ReplaceInvalidUtf8(read.diagnostics)}});
  Json leaves = Json::array();
  for (const auto& leaf : firmware.cpuid) leaves.push_back(RegistersJson(leaf.first, leaf.second));
  return Json{{"firmware_service", firmware.firmwareService},
              {"block_given", firmware.blockGiven},
              {"block", BytesJson(firmware.block)},
              {"block_diagnostic", ReplaceInvalidUtf8(firmware.blockDiagnostic)},
              {"memory_reads", reads},
              {"cpuid", leaves}};
}

// Every member of a bundle but the report and the digest, in the order a
// reader expects.
Json BundleMembers(const MachineRecord& record) {
  Json addresses = Json::array();
  for (const std::string& address : record.localAddresses) addresses.push_back(TextJson(address));
  Json bundle{
      {"bundle_version", kBundleVersion},
      {"made_by", record.madeBy},
      {"library_version", record.libraryVersion},
      {"made_at", record.madeAt},
      {"redacted", record.redacted},
      {"installation", InstallationJson(record)},
      {"process", {{"calling_program_size", record.callingProgramSize}, {"updater_pid", record.updaterPid}}},
      {"host", HostJson(record)},
      {"network", {{"local_addresses", addresses}}},
      {"firmware", FirmwareJson(record.firmware)},
  };
  if (record.redacted && !record.redaction.is_null()) bundle["redaction"] = record.redaction;
  return bundle;
}

}  // namespace

std::string ContentDigest(const std::map<std::string, std::string>& members, const CanonicalReport& report) {
  // The bundle as one canonical object, its digest left out.
  std::map<std::string, const std::string*> byName;
  for (const auto& member : members)
    if (member.first != kDigestKey && member.first != "report") byName[member.first] = &member.second;
  byName["report"] = nullptr;
  Sha256 digest;
  digest.Add("{");
  bool first = true;
  for (const auto& member : byName) {
    digest.Add((first ? "" : ",") + In(member.first).dump() + ":");
    first = false;
    if (member.second)
      digest.Add(*member.second);
    else
      report.Write([&digest](const std::string& part) { digest.Add(part); });
  }
  digest.Add("}");
  return HexBytes(digest.Finish());
}

std::string WriteBundle(const MachineRecord& record) {
  const Json bundle = BundleMembers(record);
  std::map<std::string, std::string> canonical;
  for (const auto& member : bundle.items()) canonical[member.key()] = In(member.value()).dump();
  // The report last and on one line: its lists can hold a million server
  // names, and one line each would add a fifth to the file.
  std::string text = bundle.dump(1);
  text.resize(text.size() - 2);  // "\n}"
  text += ",\n \"report\": ";
  record.report.Write([&text](const std::string& part) { text += part; });
  text += ",\n \"" + std::string(kDigestKey) + "\": \"" + ContentDigest(canonical, record.report) + "\"\n}\n";
  return text;
}

namespace {

// The members a bundle may have.
bool IsBundleMember(const std::string& name) {
  static const std::set<std::string> kMembers = {
      "bundle_version", "made_by", "library_version", "made_at",  "redacted", "redaction", "installation",
      "process",        "host",    "network",         "firmware", "report",   kDigestKey};
  return kMembers.count(name) != 0;
}

// A bundle's text taken apart as it is read: each member but the report as
// canonical JSON, the report field by field, read by a report's schema (its
// sections and their fields, the schema version and the undecodable texts).
struct BundleParts {
  std::map<std::string, std::string> members;
  CanonicalReport report;
};

std::string TakePart(const JsonPath& path, std::string text, BundleParts& parts) {
  const std::map<std::string, std::set<std::string>>& schema = ReportSchema();
  if (path.size() == 1) {
    if (!IsBundleMember(path[0])) return "not a member of a bundle";
    parts.members[path[0]] = std::move(text);
    return std::string();
  }
  if (path.size() == 2) {  // a member of the report that is not a section
    if (schema.count(path[1])) return "not an object";
    if (path[1] != "schema_version" && path[1] != "undecodable_texts") return "not a member of a report";
    parts.report.members[path[1]] = std::move(text);
    return std::string();
  }
  if (!schema.at(path[1]).count(path[2])) return "not a field of the report's " + path[1];
  parts.report.sections[path[1]][path[2]] = std::move(text);
  return std::string();
}

bool SplitBundle(const std::string& text, BundleParts& parts, bool& reportGiven, std::string& error) {
  if (text.size() > kMostBundleBytes) {
    error = "larger than " + std::to_string(kMostBundleBytes >> 20) + " MiB";
    return false;
  }
  CanonicalLimits limits;
  limits.depth = kMostNesting;
  const std::function<bool(const JsonPath&)> split = [&reportGiven](const JsonPath& path) {
    if (path.size() == 1 && path[0] == "report") return reportGiven = true;
    return path.size() == 2 && path[0] == "report" && ReportSchema().count(path[1]) != 0;
  };
  const std::function<std::string(const JsonPath&, std::string)> take =
      [&parts](const JsonPath& path, std::string value) { return TakePart(path, std::move(value), parts); };
  if (ReadCanonical(text, limits, split, take, error)) return true;
  if (error == "not a JSON object") error = "not a bundle (not a JSON object)";
  return false;
}

bool ReadMaker(Fields& f, const In& bundle, MachineRecord& record) {
  int version = 0;
  if (!bundle.is_object()) return f.Fail("", "not a bundle (not a JSON object)");
  if (!f.Number(bundle, "", "bundle_version", version)) return false;
  if (version != kBundleVersion)
    return f.Fail("/bundle_version", std::to_string(version) + " is not a version this quarncfg reads (" +
                                         std::to_string(kBundleVersion) + ")");
  return f.String(bundle, "", "made_by", record.madeBy) &&
         f.String(bundle, "", "library_version", record.libraryVersion) &&
         f.String(bundle, "", "made_at", record.madeAt) && f.Bool(bundle, "", "redacted", record.redacted);
}

bool ReadInstallation(Fields& f, const In& bundle, MachineRecord& record) {
  const In *installation = nullptr, *style = nullptr;
  const std::string in = "/installation";
  if (!f.Object(bundle, "", "installation", installation) ||
      !f.Text(*installation, in, "executable_directory", record.executableDir) ||
      !f.Object(*installation, in, "path_style", style) ||
      !f.Bool(*style, in + "/path_style", "windows", record.pathStyle.windows) ||
      !f.Bytes(At(*style, "lead_bytes"), in + "/path_style/lead_bytes", record.pathStyle.leadBytes, 256) ||
      !f.Bool(*installation, in, "installation_from_rules", record.installationFromRules) ||
      !f.String(*installation, in, "global_config_directory_state", record.globalCfgState) ||
      !f.Text(*installation, in, "library_object_not_made_because", record.notMadeBecause) ||
      !f.File(*installation, in, "settings_file", record.settingsFile, quarn::settings::kMostFileBytes) ||
      !f.File(*installation, in, "override_file", record.overrideFile, quarn::settings::kMostFileBytes) ||
      !f.File(*installation, in, "updater_version_record", record.updaterVersionRecord, kMostRecordBytes) ||
      !f.Bool(*installation, in, "updater_directory_exists", record.updaterDirExists) ||
      !f.Number(*installation, in, "updater_executable_size", record.updaterExecutableSize))
    return false;
  GlobalCfgState state = GlobalCfgState::kMissing;
  if (!GlobalCfgStateFromName(record.globalCfgState, state))
    return f.Fail(in + "/global_config_directory_state", "not a state of the directory");
  const std::string& leads = record.pathStyle.leadBytes;
  for (std::size_t i = 1; i < leads.size(); ++i)
    if (static_cast<unsigned char>(leads[i - 1]) >= static_cast<unsigned char>(leads[i]))
      return f.Fail(in + "/path_style/lead_bytes", "not in ascending order");
  return true;
}

bool ReadHost(Fields& f, const In& bundle, MachineRecord& record) {
  const In *process = nullptr, *host = nullptr, *trueVersion = nullptr;
  const std::string truePointer = "/host/true_windows_version";
  return f.Object(bundle, "", "process", process) &&
         f.Number(*process, "/process", "calling_program_size", record.callingProgramSize) &&
         f.Number(*process, "/process", "updater_pid", record.updaterPid) && f.Object(bundle, "", "host", host) &&
         f.Bool(*host, "/host", "machine_name_known", record.machineNameKnown) &&
         f.Text(*host, "/host", "machine_name", record.machineName) &&
         ReadWindowsVersion(f, *host, record.windowsVersion) &&
         f.Object(*host, "/host", "true_windows_version", trueVersion) &&
         f.Bool(*trueVersion, truePointer, "known", record.trueWindowsVersion.known) &&
         f.Number(*trueVersion, truePointer, "major", record.trueWindowsVersion.major) &&
         f.Number(*trueVersion, truePointer, "minor", record.trueWindowsVersion.minor) &&
         f.Number(*trueVersion, truePointer, "build", record.trueWindowsVersion.build) &&
         f.Bool(*host, "/host", "system_64_bit", record.system64Bit);
}

bool ReadNetwork(Fields& f, const In& bundle, MachineRecord& record) {
  const In* network = nullptr;
  if (!f.Object(bundle, "", "network", network)) return false;
  const In& addresses = At(*network, "local_addresses");
  if (!addresses.is_array()) return f.Fail("/network/local_addresses", "not a list");
  if (addresses.size() > kMostLocalAddresses) return f.Fail("/network/local_addresses", "too many addresses");
  for (std::size_t i = 0; i < addresses.size(); ++i) {
    std::string address;
    if (!f.Text(addresses[i], "/network/local_addresses/" + std::to_string(i), address)) return false;
    record.localAddresses.push_back(std::move(address));
  }
  return true;
}

// The values of a member's JSON text, counted without building them: a
// document tree costs tens of bytes a value, so a text of empty objects
// would cost many times its size.
std::size_t ValuesIn(const std::string& json) {
  std::size_t values = 1;
  bool inString = false;
  for (std::size_t i = 0; i < json.size(); ++i) {
    const char c = json[i];
    if (inString) {
      if (c == '\\') ++i;
      inString = c != '"';
    } else if (c == '"') {
      inString = true;
    } else if (c == ',' || c == '[' || c == '{' || c == ':') {
      ++values;
    }
  }
  return values;
}

}  // namespace

bool ReadBundle(const std::string& text, MachineRecord& record, std::string& error) {
  error.clear();
  record = MachineRecord();
  BundleParts parts;
  bool reportGiven = false;
  if (!SplitBundle(text, parts, reportGiven, error)) return false;
  // Every member but the report as a document: they hold few values (the
  // firmware's bytes are one text).
  In bundle = In::object();
  // At most a value in 12 bytes of the bundle's text (a machine's 65,536
  // addresses take more than 900 KB) and a few besides: as a document they
  // cost a few times the text.
  const std::size_t most = std::min(kMostMemberValues, 4096 + text.size() / 12);
  std::size_t values = 0;
  for (auto& member : parts.members) {
    values += ValuesIn(member.second);
    if (values > most) {
      error = "/" + member.first + ": more values than a bundle of its size holds (" + std::to_string(most) +
              " outside its report)";
      return false;
    }
    bundle[member.first] = In::parse(std::move(member.second));
  }
  Fields f(error);
  if (!ReadMaker(f, bundle, record) || !ReadInstallation(f, bundle, record) || !ReadHost(f, bundle, record) ||
      !ReadNetwork(f, bundle, record) || !ReadFirmware(f, bundle, record.firmware))
    return false;
  if (parts.members.count("report") || !reportGiven)
    return f.Fail("/report", reportGiven ? "not an object" : "missing");
  record.report = std::move(parts.report);
  const auto digest = bundle.find(kDigestKey);
  record.digestRecorded = digest != bundle.end();
  if (record.digestRecorded) {
    std::map<std::string, std::string> canonical;
    for (const auto& member : bundle.items()) canonical[member.key()] = member.value().dump();
    record.digestMatches = digest->is_string() && *digest == ContentDigest(canonical, record.report);
  }
  if (record.redacted && bundle.contains("redaction")) record.redaction = bundle["redaction"];
  return true;
}

bool ReadBundleFile(const std::string& path, MachineRecord& record, std::string& error) {
  std::string text;
  switch (kqt::sys::ReadRegularFile(path, kMostBundleBytes, text)) {
    case kqt::sys::ReadStatus::kOk:
      return ReadBundle(text, record, error);
    case kqt::sys::ReadStatus::kMissing:
      error = "no such file";
      break;
    case kqt::sys::ReadStatus::kNotRegular:
      error = "not a regular file";
      break;
    case kqt::sys::ReadStatus::kTooLarge:
      error = "larger than " + std::to_string(kMostBundleBytes >> 20) + " MiB";
      break;
    case kqt::sys::ReadStatus::kFailed:
      error = "cannot be read";
      break;
  }
  return false;
}

}  // namespace quarn_tools
