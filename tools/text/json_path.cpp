#include "tools/text/json_path.h"

namespace brx::text {

std::string JsonPath::Text() const {
  std::string text;
  for (std::size_t k = 0; k < depth_; ++k) {
    const Step& step = steps_[k];
    if (!step.key) {
      text += "[" + std::to_string(step.index) + "]";
    } else {
      if (!text.empty()) text += '.';
      text += *step.key;
    }
  }
  return text;
}

}  // namespace brx::text
