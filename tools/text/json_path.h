// Where a value stands in a JSON text, as messages name it:
// structures[3].Tiles[0].Shape[2][4]. The reader keeps it as it reads and
// hands it to its handler; the text is made only for a message.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace brx::text {

class JsonPath {
 public:
  // `key` is kept by reference and must outlive the step.
  void PushKey(const std::string& key) { Push().key = &key; }
  void PushIndex(std::size_t index) {
    Step& step = Push();
    step.key = nullptr;
    step.index = index;
  }
  void Pop() { --depth_; }

  // Empty at the top level.
  std::string Text() const;

 private:
  // A key, or an index when there is no key.
  struct Step {
    const std::string* key;
    std::size_t index;
  };

  Step& Push() {
    if (depth_ == steps_.size()) steps_.emplace_back();
    return steps_[depth_++];
  }

  std::vector<Step> steps_;  // the first depth_ are the path
  std::size_t depth_ = 0;
};

}  // namespace brx::text
