#include "tools/documents/patch/patch_reader.h"

#include <array>
#include <cstring>
#include <optional>
#include <string_view>
#include <utility>

#include "tools/text/plain_ascii.h"
#include "tools/text/quoting.h"
#include "tools/text/suggestion.h"

namespace brx::tool {
namespace {

using Type = text::JsonValue::Type;
using Event = RecordedJson::Event;

constexpr std::array<std::pair<PatchOp, std::string_view>, 6> kOps{{{PatchOp::kAdd, "add"},
                                                                    {PatchOp::kRemove, "remove"},
                                                                    {PatchOp::kReplace, "replace"},
                                                                    {PatchOp::kMove, "move"},
                                                                    {PatchOp::kCopy, "copy"},
                                                                    {PatchOp::kTest, "test"}}};

enum Member : unsigned { kOpMember = 1, kPathMember = 2, kFromMember = 4, kValueMember = 8 };
constexpr std::array<std::pair<Member, std::string_view>, 4> kMembers{
    {{kOpMember, "op"}, {kPathMember, "path"}, {kFromMember, "from"}, {kValueMember, "value"}}};

unsigned Needed(PatchOp op) {
  switch (op) {
    case PatchOp::kRemove:
      return kOpMember | kPathMember;
    case PatchOp::kMove:
    case PatchOp::kCopy:
      return kOpMember | kPathMember | kFromMember;
    default:
      break;
  }
  return kOpMember | kPathMember | kValueMember;
}

// Takes `word` off the front of `rest`; of a length known when compiled, so
// that the comparison is a few loads.
template <std::size_t N>
bool Took(std::string_view& rest, const char (&word)[N]) {
  constexpr std::size_t kLength = N - 1;
  if (rest.size() < kLength || std::memcmp(rest.data(), word, kLength) != 0) return false;
  rest.remove_prefix(kLength);
  return true;
}

// The integer at the front of `rest` as JSON writes it, of at most ten
// digits (no field takes more), and no more than that.
bool TookInteger(std::string_view& rest, std::string_view& number) {
  std::size_t end = !rest.empty() && rest[0] == '-';
  const std::size_t first = end;
  while (end < rest.size() && end - first <= 10 && rest[end] >= '0' && rest[end] <= '9') ++end;
  const std::size_t digits = end - first;
  if (digits == 0 || digits > 10 || (digits > 1 && rest[first] == '0')) return false;
  number = rest.substr(0, end);
  rest.remove_prefix(end);
  return true;
}

// How many bytes of `ahead` are a NumberOperation, which it fills; 0 when
// they do not start with one.
std::size_t TakeNumberOperation(std::string_view ahead, const text::TextPosition& at,
                                NumberOperation& operation) {
  std::string_view rest = ahead;
  // In ASCII on one line, a column is a byte.
  const auto here = [&] {
    return text::TextPosition{at.line, at.column + (ahead.size() - rest.size())};
  };
  if (!Took(rest, "{\"op\": \"")) return 0;
  if (Took(rest, "test")) {
    operation.op = PatchOp::kTest;
  } else if (Took(rest, "replace")) {
    operation.op = PatchOp::kReplace;
  } else {
    return 0;
  }
  if (!Took(rest, "\", \"path\": ")) return 0;
  operation.pointer_at = here();
  if (!Took(rest, "\"")) return 0;
  const char* const end = rest.data() + rest.size();
  const char* stop = text::PlainAsciiEnd(rest.data(), end);
  while (stop != end && text::IsPlainAscii(*stop)) ++stop;
  operation.pointer = rest.substr(0, static_cast<std::size_t>(stop - rest.data()));
  rest.remove_prefix(operation.pointer.size());
  if (!Took(rest, "\", \"value\": ")) return 0;
  operation.number_at = here();
  if (!TookInteger(rest, operation.number) || !Took(rest, "}")) return 0;
  operation.at = at;
  return ahead.size() - rest.size();
}

class PatchHandler : public text::JsonHandler {
 public:
  PatchHandler(const std::function<void(const PatchOperation&)>& each,
               const std::function<void(const NumberOperation&)>& each_number,
               text::ToldProblems& problems)
      : each_(each), each_number_(each_number), problems_(problems) {}

  std::size_t TakeElement(std::string_view ahead, const text::TextPosition& at) override {
    if (!each_number_ || depth_ != 1 || skip_below_) return 0;
    const std::size_t taken = TakeNumberOperation(ahead, at, number_);
    if (taken) each_number_(number_);
    return taken;
  }

  void Value(const text::JsonValueView& value, const text::JsonPath&) override {
    const bool container = value.type == Type::kArray || value.type == Type::kObject;
    if (recording_ || skip_below_) {
      if (recording_) Record(Event::Kind::kValue, value);
      if (container) ++depth_;
      return;
    }
    switch (depth_) {
      case 0:
        if (value.type != Type::kArray) {
          Problem(value.at,
                  "expected an array of operations, found " + text::JsonTypeName(value.type));
          skip_below_ = 1;
        }
        break;
      case 1:
        if (value.type != Type::kObject) {
          Problem(value.at,
                  "expected an operation (an object), found " + text::JsonTypeName(value.type));
          skip_below_ = 2;
          break;
        }
        operation_.at = value.at;
        operation_.value.events.clear();
        members_ = 0;
        guessed_ = 0;
        broken_ = false;
        break;
      default:
        MemberValue(value);
        recording_ = member_ == kValueMember && container;
        if (!recording_ && container) skip_below_ = 3;
        break;
    }
    if (container) ++depth_;
  }

  void Key(const std::string& key, const text::TextPosition& at, bool repeated,
           const text::JsonPath&) override {
    if (recording_) {
      operation_.value.events.push_back({Event::Kind::kKey, {Type::kString, key, at}, repeated});
      return;
    }
    member_ = 0;
    if (skip_below_) return;
    if (depth_ != 2 || repeated) return;
    for (const auto& [member, name] : kMembers) {
      if (std::string_view(key) == name) {
        member_ = member;
        return;
      }
    }
    std::vector<std::string_view> names;
    for (const auto& entry : kMembers) names.push_back(entry.second);
    // Other members are allowed, but one a letter away from a member's name is
    // surely that member misspelt.
    if (const auto guess = text::ClosestName(key, names)) {
      for (const auto& [member, name] : kMembers) {
        if (name == *guess) guessed_ |= member;
      }
      Problem(at, text::UnknownName("member", key, names));
    }
  }

  void EndObject(const text::JsonPath&) override { End(Event::Kind::kEndObject); }
  void EndArray(const text::JsonPath&) override { End(Event::Kind::kEndArray); }

 private:
  void Record(Event::Kind kind, const text::JsonValueView& value) {
    operation_.value.events.push_back({kind, text::Kept(value), false});
  }

  void End(Event::Kind kind) {
    --depth_;
    if (recording_) {
      operation_.value.events.push_back({kind, {}, false});
      // The value's own end: its operation goes on.
      recording_ = depth_ > 2;
      return;
    }
    if (skip_below_) {
      if (depth_ < skip_below_) skip_below_ = 0;
      return;
    }
    if (depth_ == 1 && kind == Event::Kind::kEndObject) Finish();
  }

  void MemberValue(const text::JsonValueView& value) {
    if (!member_) return;
    members_ |= member_;
    if (member_ == kValueMember) {
      operation_.value.events.push_back({Event::Kind::kValue, text::Kept(value), false});
      return;
    }
    if (value.type != Type::kString) {
      broken_ = Problem(value.at, "expected a string, found " + text::JsonTypeName(value.type));
      return;
    }
    if (member_ == kPathMember) {
      text::Keep(value, operation_.path);
    } else if (member_ == kFromMember) {
      text::Keep(value, operation_.from);
    } else {
      Op(value);
    }
  }

  void Op(const text::JsonValueView& value) {
    for (const auto& [op, name] : kOps) {
      if (value.text == name) {
        operation_.op = op;
        return;
      }
    }
    std::vector<std::string_view> names;
    for (const auto& entry : kOps) names.push_back(entry.second);
    broken_ = Problem(value.at, text::UnknownName("operation", value.text, names));
  }

  void Finish() {
    if (broken_) return;
    if (!(members_ & kOpMember)) {
      if (!(guessed_ & kOpMember)) Problem(operation_.at, "missing member \"op\"");
      return;
    }
    bool whole = true;
    const unsigned needed = Needed(operation_.op);
    for (const auto& [member, name] : kMembers) {
      if (!(needed & member) || (members_ & member)) continue;
      whole = false;
      if (!(guessed_ & member)) {
        Problem(operation_.at, std::string("missing member ") + text::Quoted(name) + " of \"" +
                                   PatchOpName(operation_.op) + "\"");
      }
    }
    if (!whole) return;
    // A member the operation does not take is ignored, as any other is.
    if (!(needed & kValueMember)) operation_.value.events.clear();
    each_(operation_);
  }

  bool Problem(const text::TextPosition& at, std::string message) {
    problems_.Add({at, "", std::move(message)});
    return true;
  }

  const std::function<void(const PatchOperation&)>& each_;
  const std::function<void(const NumberOperation&)>& each_number_;
  text::ToldProblems& problems_;
  PatchOperation operation_;
  NumberOperation number_;
  std::size_t depth_ = 0;
  unsigned member_ = 0;         // the member whose value comes next
  unsigned members_ = 0;        // the operation's members so far
  unsigned guessed_ = 0;        // members that a misspelt name stood for
  bool broken_ = false;         // a member's value was wrong: the operation is not handed on
  bool recording_ = false;      // within the value of "value"
  std::size_t skip_below_ = 0;  // not 0: within a container of that depth not to be read
};

}  // namespace

void RecordedJson::Replay(text::JsonHandler& handler) const {
  // The path from the recorded value on, kept as the reader keeps it: a
  // member's key or an element's index is a step while its value is read.
  text::JsonPath path;
  struct Open {
    bool array;
    std::size_t next;  // the index of an array's next element
  };
  std::vector<Open> open;
  const auto finished = [&] {
    if (!open.empty()) path.Pop();
  };
  for (const Event& event : events) {
    switch (event.kind) {
      case Event::Kind::kValue: {
        if (!open.empty() && open.back().array) path.PushIndex(open.back().next++);
        handler.Value(text::ViewOf(event.value), path);
        const Type type = event.value.type;
        if (type == Type::kArray || type == Type::kObject) {
          open.push_back({type == Type::kArray, 0});
        } else {
          finished();
        }
        break;
      }
      case Event::Kind::kKey:
        handler.Key(event.value.text, event.value.at, event.repeated, path);
        path.PushKey(event.value.text);
        break;
      case Event::Kind::kEndObject:
      case Event::Kind::kEndArray:
        if (event.kind == Event::Kind::kEndObject) {
          handler.EndObject(path);
        } else {
          handler.EndArray(path);
        }
        open.pop_back();
        finished();
        break;
    }
  }
}

const char* PatchOpName(PatchOp op) {
  for (const auto& [each, name] : kOps) {
    if (each == op) return name.data();  // a literal: ends in a NUL
  }
  return "";
}

PatchOperation NumberOperation::Whole() const {
  PatchOperation whole;
  whole.op = op;
  whole.at = at;
  whole.path = {Type::kString, std::string(pointer), pointer_at};
  whole.value.events.push_back(
      {Event::Kind::kValue, {Type::kNumber, std::string(number), number_at}, false});
  return whole;
}

bool ReadPatch(text::TextDecoder& patch_text,
               const std::function<void(const PatchOperation&)>& each,
               const std::function<void(const NumberOperation&)>& each_number,
               std::vector<text::JsonProblem>& problems, std::size_t most_problems) {
  text::ToldProblems found(most_problems);
  PatchHandler handler(each, each_number, found);
  std::vector<text::JsonProblem> syntax;
  text::TextCursor cursor(patch_text);
  text::ReadJson(cursor, handler, syntax, most_problems);
  cursor.Drain();
  problems = found.Take();
  problems.insert(problems.end(), syntax.begin(), syntax.end());
  text::SortByPlace(problems);
  if (problems.size() > most_problems) problems.resize(most_problems);
  return problems.empty();
}

}  // namespace brx::tool
