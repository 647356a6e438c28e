// The syntax errors of a JSON text, as the reader words them: where each is,
// the path of the value it is in, and what is wrong, in the words of someone
// who edits the file by hand.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "tools/text/json_path.h"
#include "tools/text/json_reader.h"
#include "tools/text/text_cursor.h"
#include "tools/text/text_position.h"

namespace brx::text {

class JsonErrors {
 public:
  JsonErrors(TextCursor& text, const JsonPath& path, std::vector<JsonProblem>& problems,
             std::size_t most_problems)
      : text_(text), path_(path), problems_(problems), most_problems_(most_problems) {}

  // A mistake after which reading goes on.
  void Note(const TextPosition& at, std::string message);
  // A mistake that ends reading: false.
  bool Error(const TextPosition& at, std::string message) {
    Note(at, std::move(message));
    return false;
  }
  bool ErrorHere(std::string message) { return Error(text_.Here(), std::move(message)); }

  // What stands at the current place: 'x', the control character U+0001,
  // the end of the text.
  std::string Found();
  // At what should have closed the container opened with `opener` at `open`.
  bool NotClosed(const TextPosition& open, char opener);

 private:
  TextCursor& text_;
  const JsonPath& path_;
  std::vector<JsonProblem>& problems_;
  const std::size_t most_problems_;
};

}  // namespace brx::text
