#include "tools/documents/patch/patch_reader.h"

#include <array>
#include <optional>
#include <string_view>
#include <utility>

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

class PatchHandler : public text::JsonHandler {
 public:
  PatchHandler(const std::function<void(const PatchOperation&)>& each, text::ToldProblems& problems)
      : each_(each), problems_(problems) {}

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
  text::ToldProblems& problems_;
  PatchOperation operation_;
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

bool ReadPatch(text::TextDecoder& patch_text,
               const std::function<void(const PatchOperation&)>& each,
               std::vector<text::JsonProblem>& problems, std::size_t most_problems) {
  text::ToldProblems found(most_problems);
  PatchHandler handler(each, found);
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
