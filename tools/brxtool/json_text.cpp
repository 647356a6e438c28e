#include "tools/brxtool/json_text.h"

#include <algorithm>
#include <cstddef>

namespace brx::tool {
namespace {

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

std::string FormatJson(const Json& json) {
  std::string out;
  Write(json, 0, out);
  return out + "\n";
}

std::string Quoted(std::string_view text) {
  return Json(std::string(text)).dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace brx::tool
