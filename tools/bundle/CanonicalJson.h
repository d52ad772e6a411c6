// JSON text read as a stream of events and written again in canonical form
// (compact, the members of every object in byte order of their names, as
// nlohmann::json writes a value), one chosen value at a time. Nothing is
// made a document: a value costs about its text, however many items it
// holds. A key given twice in an object, values nested deeper than allowed
// and objects or lists of more entries than allowed are refused where they
// are met.
#ifndef QUARN_TOOLS_BUNDLE_CANONICALJSON_H
#define QUARN_TOOLS_BUNDLE_CANONICALJSON_H

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace quarn_tools {

struct CanonicalLimits {
  int depth = 12;                              // objects and lists within one another
  std::size_t entries = std::size_t{1} << 22;  // in one object or list
};

// Where a value lies: the keys (and list indexes, as decimal) from the top.
using JsonPath = std::vector<std::string>;

// `split(path)`: whether the object at `path` is taken apart, each member
// handed on by itself, rather than handed on whole. `take(path, text)`: a
// value in canonical form, whose parent is taken apart (the top-level
// object always is). False with `error` ("/pointer: why") for text that is
// not JSON, breaks a rule above, or that `take` refuses (it returns the
// reason, "" to go on).
bool ReadCanonical(const std::string& text, const CanonicalLimits& limits,
                   const std::function<bool(const JsonPath& path)>& split,
                   const std::function<std::string(const JsonPath& path, std::string text)>& take, std::string& error);

// A JSON pointer of a path ("/report/hardware").
std::string PointerOf(const JsonPath& path);

}  // namespace quarn_tools

#endif
