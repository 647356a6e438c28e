#include "tools/brxtool/json_text.h"

#include <algorithm>
#include <cstddef>
#include <set>
#include <vector>

namespace brx::tool {
namespace {

// Follows the parser's events to know where in the document it is, and
// remembers the path of the first key that appears twice in one object.
class DuplicateKeyFinder {
 public:
  bool OnEvent(Json::parse_event_t event, const Json& parsed) {
    using Event = Json::parse_event_t;
    switch (event) {
      case Event::object_start:
        levels_.emplace_back(false);
        break;
      case Event::array_start:
        levels_.emplace_back(true);
        break;
      case Event::key: {
        Level& object = levels_.back();
        object.key = parsed.get<std::string>();
        if (!object.keys.insert(object.key).second && duplicate_.empty()) duplicate_ = Path();
        break;
      }
      case Event::object_end:
      case Event::array_end:
        levels_.pop_back();
        ElementDone();
        break;
      case Event::value:
        ElementDone();
        break;
    }
    return true;
  }

  const std::string& duplicate() const { return duplicate_; }

 private:
  struct Level {
    explicit Level(bool array) : is_array(array) {}
    bool is_array;
    std::size_t index = 0;
    std::string key;
    std::set<std::string> keys;
  };

  void ElementDone() {
    if (!levels_.empty() && levels_.back().is_array) ++levels_.back().index;
  }

  std::string Path() const {
    std::string path;
    for (const Level& level : levels_) {
      if (level.is_array) {
        path += "[" + std::to_string(level.index) + "]";
      } else {
        path += (path.empty() ? "" : ".") + level.key;
      }
    }
    return path;
  }

  std::vector<Level> levels_;
  std::string duplicate_;
};

// The library gives an error's position as the count of characters read, the
// end of the input counting as one; turn it into a line and a column.
std::string LineAndColumn(const std::string& text, std::size_t position) {
  std::size_t line = 1;
  std::size_t line_start = 0;
  for (std::size_t i = 0; i < std::min(position, text.size()); ++i) {
    if (text[i] == '\n') {
      ++line;
      line_start = i + 1;
    }
  }
  return "line " + std::to_string(line) + ", column " + std::to_string(position - line_start);
}

// The library's explanation without its "[json.exception...]" prefix and,
// for a syntax error, without its own statement of the position.
std::string Explanation(const std::string& what, bool has_position) {
  const std::size_t bracket = what.find("] ");
  std::string text = bracket == std::string::npos ? what : what.substr(bracket + 2);
  const std::size_t colon = has_position ? text.find(": ") : std::string::npos;
  return colon == std::string::npos ? text : text.substr(colon + 2);
}

void Write(const Json& value, std::size_t indent, std::string& out) {
  const bool is_list = value.is_array() || value.is_object();
  if (!is_list || value.empty()) {
    out += value.dump();
    return;
  }
  const bool numbers_only =
      value.is_array() &&
      std::all_of(value.begin(), value.end(), [](const Json& v) { return v.is_number(); });
  if (numbers_only) {
    out += "[";
    for (std::size_t i = 0; i < value.size(); ++i) out += (i ? ", " : "") + value[i].dump();
    out += "]";
    return;
  }
  const std::string inner(indent + 2, ' ');
  out += value.is_array() ? "[\n" : "{\n";
  std::size_t left = value.size();
  for (auto item = value.begin(); item != value.end(); ++item) {
    out += inner;
    if (value.is_object()) out += Json(item.key()).dump() + ": ";
    Write(*item, indent + 2, out);
    out += --left ? ",\n" : "\n";
  }
  out += std::string(indent, ' ') + (value.is_array() ? "]" : "}");
}

}  // namespace

bool ParseJsonText(const std::string& text, Json& json, std::string& error) {
  DuplicateKeyFinder finder;
  try {
    json = Json::parse(text, [&finder](int, Json::parse_event_t event, Json& parsed) {
      return finder.OnEvent(event, parsed);
    });
  } catch (const Json::parse_error& e) {
    error = LineAndColumn(text, e.byte) + ": " + Explanation(e.what(), true);
    return false;
  } catch (const Json::exception& e) {
    // A number too large for any number type; the library gives no position.
    error = Explanation(e.what(), false);
    return false;
  }
  if (!finder.duplicate().empty()) {
    error = finder.duplicate() + ": the key appears more than once";
    return false;
  }
  return true;
}

std::string FormatJson(const Json& json) {
  std::string out;
  Write(json, 0, out);
  return out + "\n";
}

}  // namespace brx::tool
