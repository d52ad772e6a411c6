// Byte-wise text helpers. Letter case means ASCII letters only.
#ifndef KQT_UTIL_STRINGUTIL_H
#define KQT_UTIL_STRINGUTIL_H

#include <string>
#include <vector>

#include "util/kqtUtilExport.h"

namespace kqt {

class KQTUTIL_API CStringUtil {
 public:
  // The pieces of `text` between occurrences of `separator`, in order. Empty
  // pieces (adjacent separators, a separator at either end, an empty text)
  // are kept unless `skipEmpty`. An empty separator gives the whole text.
  static std::vector<std::string> stringSplit(const std::string& text, const std::string& separator,
                                              bool skipEmpty = false);
  // True when `text` begins with `prefix`, byte for byte unless `ignoreCase`.
  static bool stringStartWith(const std::string& text, const std::string& prefix, bool ignoreCase = false);
  // Lower-cases in place; true when anything changed.
  static bool stringToLower(std::string& text);
  // A copy without leading and trailing white space (" \t\r\n\v\f").
  static std::string stringTrimmed(const std::string& text);
  // Text of `value` in `base` (2 to 36; digits above 9 in lower case), with a
  // "-" for negative values. Any other base gives the empty text and *ok false.
  static std::string IntToString(long long value, bool* ok = nullptr, int base = 10);
};

}  // namespace kqt

#endif
