#include "tests/tools/tool_test_support.h"

#include <algorithm>
#include <sstream>
#include <stdexcept>

#include "model/structure_data.h"
#include "os/system_file_system.h"
#include "tests/support/temp_folder.h"
#include "tools/brxtool/cli.h"
#include "tools/documents/json_document.h"

namespace brx::testing {

std::string SampleJsonPath() {
  return std::string(BRX_TOOL_TEST_DATA) + "/sample.json";
}

std::string SampleJsonText() {
  return Text(ReadBytes(SampleJsonPath()));
}

StructureSet SampleDocument() {
  StructureSet set;
  std::vector<text::JsonProblem> problems;
  if (!tool::DocumentFromJsonText(SampleJsonText(), set, problems))
    throw std::runtime_error("the sample JSON does not read: " + problems.at(0).message);
  return set;
}

std::string SampleListingPath() {
  return std::string(BRX_TOOL_TEST_DATA) + "/sample.txt";
}

ToolRun RunTool(const std::vector<std::string>& args, const std::string& input,
                bool out_is_terminal) {
  std::istringstream in(input);
  std::ostringstream out;
  std::ostringstream err;
  tool::Console console{in, out, err, SystemFileSystem(), out_is_terminal};
  const int code = tool::RunBrxTool(args, console);
  return {code, out.str(), err.str()};
}

void WriteText(const std::string& path, const std::string& text) {
  WriteBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

StructureSet Parsed(const std::vector<std::uint8_t>& bytes) {
  StructureSet set;
  std::string reason;
  if (!ParseStructureData(bytes.data(), bytes.size(), set, reason))
    throw std::runtime_error(reason);
  return set;
}

std::string Text(const std::vector<std::uint8_t>& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace brx::testing

namespace brx::tool {
namespace {

void Write(const Json& value, text::JsonWriter& writer) {
  if (value.is_object()) {
    writer.BeginObject();
    for (auto item = value.begin(); item != value.end(); ++item) {
      writer.Key(item.key());
      Write(*item, writer);
    }
    writer.EndObject();
  } else if (value.is_array()) {
    const bool row = std::all_of(value.begin(), value.end(),
                                 [](const Json& element) { return element.is_number(); });
    if (row) {
      writer.BeginRow();
    } else {
      writer.BeginArray();
    }
    for (const Json& element : value) Write(element, writer);
    writer.EndArray();
  } else if (value.is_string()) {
    writer.String(value.get<std::string>());
  } else {
    writer.NumberText(value.dump());
  }
}

}  // namespace

std::string FormatJson(const Json& json) {
  std::ostringstream out;
  text::JsonWriter writer(out);
  Write(json, writer);
  writer.Finish();
  return out.str();
}

Json DocumentToJson(const StructureSet& set) {
  std::ostringstream out;
  text::JsonWriter writer(out);
  WriteDocumentJson(set, writer);
  return Json::parse(out.str());
}

}  // namespace brx::tool
