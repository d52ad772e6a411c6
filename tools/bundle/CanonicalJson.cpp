#include "bundle/CanonicalJson.h"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <set>

#include "report/Utf8Text.h"

namespace quarn_tools {
namespace {

using Json = nlohmann::json;

// One object or list being read.
struct Frame {
  bool object = false;
  bool split = false;  // an object whose members are handed on one by one
  std::string key;     // of the value being read in it (objects), or its index
  std::size_t count = 0;
  // A list's text so far; an object's members so far, as text while their
  // names come in byte order (the canonical form already: a bundle as
  // written), else by name, to be sorted at the end.
  std::string text;
  std::string lastKey;
  std::vector<std::pair<std::string, std::string>> members;
  std::vector<std::pair<std::size_t, std::size_t>> starts;  // in `text`: each member's, and its value's
  bool sorted = true;                                       // the names came in byte order
  std::set<std::string> handed;                             // a split object's names, for finding one given twice
};

class Reader : public nlohmann::json_sax<Json> {
 public:
  Reader(const CanonicalLimits& limits, const std::function<bool(const JsonPath&)>& split,
         const std::function<std::string(const JsonPath&, std::string)>& take)
      : m_limits(limits), m_split(split), m_take(take) {}

  const std::string& Error() const { return m_error; }

  bool null() override { return Value("null"); }
  bool boolean(bool value) override { return Value(value ? "true" : "false"); }
  bool number_integer(number_integer_t value) override { return Value(std::to_string(value)); }
  bool number_unsigned(number_unsigned_t value) override { return Value(std::to_string(value)); }
  bool number_float(number_float_t value, const string_t&) override { return Value(Json(value).dump()); }
  bool string(string_t& value) override {
    std::string text;
    AppendJsonString(text, value);
    return Value(std::move(text));
  }
  bool binary(binary_t&) override { return Fail(Path(), "not JSON text"); }

  bool start_object(std::size_t) override { return Open(true); }
  bool start_array(std::size_t) override { return Open(false); }

  bool key(string_t& name) override {
    Frame& frame = m_frames.back();
    if (frame.split) {
      if (!frame.handed.insert(name).second) return Fail(Path() + "/" + PointerStep(name), "given twice");
    } else if (frame.count > 0 && frame.sorted && !(frame.lastKey < name)) {
      if (frame.lastKey == name) return Fail(Path() + "/" + PointerStep(name), "given twice");
      Unsort(frame);
    }
    frame.key = name;
    if (frame.sorted) frame.lastKey = name;
    return true;
  }

  bool end_object() override {
    Frame frame = std::move(m_frames.back());
    m_frames.pop_back();
    if (frame.split) return true;  // its members went one by one
    if (frame.sorted) return Value("{" + frame.text + "}");
    std::sort(frame.members.begin(), frame.members.end(),
              [](const std::pair<std::string, std::string>& a, const std::pair<std::string, std::string>& b) {
                return a.first < b.first;
              });
    for (std::size_t i = 1; i < frame.members.size(); ++i)
      if (frame.members[i - 1].first == frame.members[i].first)
        return Fail(Path() + "/" + PointerStep(frame.key) + "/" + PointerStep(frame.members[i].first), "given twice");
    std::string text = "{";
    for (std::size_t i = 0; i < frame.members.size(); ++i) {
      if (i) text += ',';
      text += Json(frame.members[i].first).dump();
      text += ':';
      text += frame.members[i].second;
      std::string().swap(frame.members[i].second);  // as it is copied, not all at once at the end
    }
    text += '}';
    return Value(std::move(text));
  }

  bool end_array() override {
    std::string text = "[" + m_frames.back().text + "]";
    m_frames.pop_back();
    return Value(std::move(text));
  }

  bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception&) override {
    if (m_error.empty()) m_error = "not JSON (cut short, or not a bundle): at byte " + std::to_string(position);
    return false;
  }

 private:
  // Names out of byte order: the members so far, kept as text, cut apart
  // where they began (no document made of them: a value of empty objects
  // would cost many times its text), to be sorted with the rest at the end
  // (a bundle edited by hand).
  static void Unsort(Frame& frame) {
    for (std::size_t i = 0; i < frame.starts.size(); ++i) {
      const std::size_t at = frame.starts[i].first, value = frame.starts[i].second;
      const std::size_t end = i + 1 < frame.starts.size() ? frame.starts[i + 1].first - 1 : frame.text.size();
      frame.members.emplace_back(Json::parse(frame.text.substr(at, value - 1 - at)).get<std::string>(),
                                 frame.text.substr(value, end - value));
    }
    std::string().swap(frame.text);
    decltype(frame.starts)().swap(frame.starts);
    frame.sorted = false;
  }

  bool Fail(const std::string& pointer, const std::string& why) {
    if (m_error.empty()) m_error = pointer.empty() ? why : pointer + ": " + why;
    return false;
  }

  // The pointer of the frame being read.
  std::string Path() const {
    std::string path;
    for (std::size_t i = 1; i < m_frames.size(); ++i) path += "/" + PointerStep(m_frames[i - 1].key);
    return path;
  }

  JsonPath PathOfValue() const {
    JsonPath path;
    for (const Frame& frame : m_frames) path.push_back(frame.key);
    return path;
  }

  bool Open(bool object) {
    if (m_frames.empty()) {
      if (!object) return Fail("", "not a JSON object");
    } else if (static_cast<int>(m_frames.size()) >= m_limits.depth) {
      return Fail(Path(), "values nested more than " + std::to_string(m_limits.depth) + " deep");
    }
    Frame frame;
    frame.object = object;
    frame.split = object && (m_frames.empty() || m_split(PathOfValue()));
    if (!m_frames.empty() && !m_frames.back().object) m_frames.back().key = std::to_string(m_frames.back().count);
    m_frames.push_back(std::move(frame));
    return true;
  }

  // A whole value read: into the object or list that holds it, or handed on.
  bool Value(std::string text) {
    if (m_frames.empty()) return Fail("", "not a JSON object");
    Frame& frame = m_frames.back();
    if (++frame.count > m_limits.entries)
      return Fail(Path(), "more than " + std::to_string(m_limits.entries) + " entries");
    if (frame.split) {
      const std::string refused = m_take(PathOfValue(), std::move(text));
      return refused.empty() || Fail(PointerOf(PathOfValue()), refused);
    }
    if (frame.object && !frame.sorted) {
      frame.members.emplace_back(frame.key, std::move(text));
    } else if (frame.object) {
      if (frame.count > 1) frame.text += ',';
      const std::size_t at = frame.text.size();
      AppendJsonString(frame.text, frame.key);
      frame.text += ':';
      frame.starts.emplace_back(at, frame.text.size());
      frame.text += text;
    } else {
      if (frame.count > 1) frame.text += ',';
      frame.text += text;
    }
    return true;
  }

  const CanonicalLimits& m_limits;
  const std::function<bool(const JsonPath&)>& m_split;
  const std::function<std::string(const JsonPath&, std::string)>& m_take;
  std::vector<Frame> m_frames;
  std::string m_error;
};

}  // namespace

std::string PointerOf(const JsonPath& path) {
  std::string pointer;
  for (const std::string& step : path) pointer += "/" + PointerStep(step);
  return pointer;
}

bool ReadCanonical(const std::string& text, const CanonicalLimits& limits,
                   const std::function<bool(const JsonPath& path)>& split,
                   const std::function<std::string(const JsonPath& path, std::string text)>& take, std::string& error) {
  Reader reader(limits, split, take);
  const bool read = Json::sax_parse(text, &reader, nlohmann::detail::input_format_t::json, true);
  error = reader.Error();
  if (!read && error.empty()) error = "not JSON (cut short, or not a bundle)";
  return read && error.empty();
}

}  // namespace quarn_tools
