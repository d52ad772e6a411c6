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

std::string WriteBundle(const MachineRecord& record);

// The record in `text`; false with `error` saying what is wrong (the JSON
// pointer of the field and why) for anything that is not a whole,
// well-formed bundle of this version.
bool ReadBundle(const std::string& text, MachineRecord& record, std::string& error);

// ReadBundle on the file at `path`, read with the bound above.
bool ReadBundleFile(const std::string& path, MachineRecord& record, std::string& error);

}  // namespace quarn_tools

#endif
