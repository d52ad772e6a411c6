// A support bundle: one JSON file holding a MachineRecord, its bytes in
// base64, readable with any JSON tool. Version 1.
//
// Reading one trusts nothing in it: every field is checked for its type,
// every size against the bytes it describes and against the library's own
// bounds (1 MiB per settings file, 64 KiB for the updater's record, 16 MiB of
// firmware), and the whole file is read only up to kMostBundleBytes.
#ifndef QUARN_TOOLS_BUNDLE_BUNDLE_H
#define QUARN_TOOLS_BUNDLE_BUNDLE_H

#include <cstddef>
#include <map>
#include <string>

#include "bundle/MachineRecord.h"

namespace quarn_tools {

constexpr int kBundleVersion = 1;
// The largest bundle the inputs within the library's bounds give, and room:
// two settings files of 1 MiB and 16 MiB of firmware in base64 (25 MiB),
// and a report of settings files holding a million server names that are
// no UTF-8, each in a list and in undecodable_texts (about 50 MB).
constexpr std::size_t kMostBundleBytes = std::size_t{96} << 20;
// The most bytes of physical memory one recorded read may hold, and the
// most reads: the library reads a 64 KiB window and at most one table.
constexpr std::size_t kMostMemoryReads = 4;
constexpr std::size_t kMostCpuidLeaves = 512;
constexpr std::size_t kMostLocalAddresses = 65536;
// A bundle nests 6 deep (report, section, field, list, item, value): twice
// that is room, and bounds the recursion of everything that walks one.
constexpr int kMostNesting = 12;
// JSON values of a bundle outside its report (read as a document): a
// machine's addresses, memory reads and CPUID leaves, with room to spare.
constexpr std::size_t kMostMemberValues = std::size_t{1} << 17;

// The member that holds the digest of the rest: SHA-256 over the bundle's
// canonical JSON without it (compact, members in byte order), in
// hexadecimal. It tells a bundle changed after it was made (a hand edit, a
// file cut or mangled on its way), not a forger, who can write it anew.
constexpr char kDigestKey[] = "content_sha256";

std::string WriteBundle(const MachineRecord& record);

// The digest of a bundle's members (canonical texts, by name) and report.
std::string ContentDigest(const std::map<std::string, std::string>& members, const CanonicalReport& report);

// The record in `text`; false with `error` saying what is wrong (the JSON
// pointer of the field and why) for anything that is not a whole,
// well-formed bundle of this version.
bool ReadBundle(const std::string& text, MachineRecord& record, std::string& error);

// ReadBundle on the file at `path`, read with the bound above.
bool ReadBundleFile(const std::string& path, MachineRecord& record, std::string& error);

}  // namespace quarn_tools

#endif
