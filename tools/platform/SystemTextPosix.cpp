#include "platform/SystemText.h"

namespace quarn_tools {

std::string Utf8FromSystemText(const std::string& text) { return text; }

}  // namespace quarn_tools
