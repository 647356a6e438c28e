// Open and Save As on the running frame with the real common dialogs,
// answered from a thread timer inside their modal loops: what gets loaded
// and written, what a failure tells the user, and that Cancel changes nothing.
#include "app/file_commands.h"

#include <gtest/gtest.h>
#include <windows.h>
// commctrl.h builds on the types of windows.h.
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/shell.h"
#include "model/fields.h"
#include "model/structure_files.h"
#include "os/system_file_system.h"
#include "res/resource.h"
#include "tests/app/gui_driver.h"
#include "tests/app/running_frame.h"
#include "tests/file_commands/dialog_steps.h"
#include "tests/framework/input_script.h"
#include "tests/support/documents.h"
#include "tests/support/temp_folder.h"
#include "view/beep.h"

namespace brx::testing {
namespace {

Script::Step PostCommand(HWND frame, WORD id) {
  return [frame, id] {
    PostMessageA(frame, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    return true;
  };
}

HWND ArmourField(RunningFrame& running) {
  return GetDlgItem(running.frame().view().PaneWindow(), IDC_ARMOUR);
}

std::string LoadReason(const std::string& path) {
  StructureSet set;
  std::string reason;
  EXPECT_FALSE(LoadFromFile(set, path.c_str(), SystemFileSystem(), reason)) << path;
  return reason;
}

std::string SaveReason(const std::string& path) {
  std::string reason;
  EXPECT_FALSE(SaveToFile(StructureSet(), path.c_str(), SystemFileSystem(), reason)) << path;
  return reason;
}

// What the user sees of the document: everything a failed or cancelled
// command must leave as it was.
struct Snapshot {
  std::size_t structures;
  int tree_items;
  HWND pane;
  std::string armour_text;
  bool operator==(const Snapshot& other) const {
    return structures == other.structures && tree_items == other.tree_items && pane == other.pane &&
           armour_text == other.armour_text;
  }
};

Snapshot Take(RunningFrame& running) {
  return {running.frame().view().Document().StructureCount(), running.TreeItemCount(),
          running.frame().view().PaneWindow(), WindowText(ArmourField(running))};
}

class FileCommandsTest : public ::testing::Test {
 protected:
  // A frame showing three structures (with 1, 0 and 2 tiles) and an edit in
  // structure 0's pane that has not been stored yet.
  void OpenSampleWithUnstoredEdit(RunningFrame& running) {
    ASSERT_NE(running.hwnd(), nullptr);
    ASSERT_EQ(running.frame().view().Document().StructureCount(), 3u);
    SetWindowTextA(ArmourField(running), "77");
  }

  TempFolder folder_;
  const std::string sample_ = WriteSampleFile(folder_.path().string(), "sample.brx", {1, 0, 2});
};

TEST_F(FileCommandsTest, OpenLoadsTheChosenFileAndShowsItsStructures) {
  const std::string other = WriteSampleFile(folder_.path().string(), "other.brx", {2, 0, 1});
  RunningFrame running;
  bool filter_shown = false;
  bool read_only_box_hidden = false;
  ASSERT_EQ(running.Run({PostCommand(running.hwnd(), ID_FILE_OPEN),
                         [&] {
                           HWND dialog = FindFileDialog();
                           if (!dialog) return false;
                           // cmb1: the file type list; chx1: the read-only box.
                           filter_shown =
                               WindowText(GetDlgItem(dialog, 1136)) == "BRX files(*.brx)";
                           read_only_box_hidden = !IsWindowVisible(GetDlgItem(dialog, 1040));
                           return true;
                         },
                         ChooseFileName(other), FileDialogClosed()}),
            RunningFrame::kStepsDone);
  EXPECT_TRUE(filter_shown);
  EXPECT_TRUE(read_only_box_hidden);
  const StructureSet& document = running.frame().view().Document();
  ASSERT_EQ(document.StructureCount(), 3u);
  EXPECT_EQ(document.TileCount(0), 2u);
  StructureSet on_disk;
  std::string reason;
  ASSERT_TRUE(LoadFromFile(on_disk, other.c_str(), SystemFileSystem(), reason)) << reason;
  EXPECT_EQ(document.Header(2).bytes, on_disk.Header(2).bytes);
  EXPECT_EQ(running.TreeItemCount(), 6);
  EXPECT_NE(running.frame().view().PaneWindow(), nullptr);
  EXPECT_EQ(FindProgramMessageBox(), nullptr);
}

struct OpenFailure {
  const char* name;
  std::string file;
};

TEST_F(FileCommandsTest, AFailedOpenSaysWhyAndKeepsTheDocumentWithItsUnstoredEdits) {
  const std::string damaged = folder_.File("damaged.brx");
  WriteBytes(damaged, Bytes({'B', 'R', 'X', 'G', 1, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0}));
  const std::string short_file = folder_.File("short.brx");
  WriteBytes(short_file, Bytes({'B', 'R', 'X', 'F', 3}));
  const OpenFailure cases[] = {
      {"a name that does not exist", folder_.File("missing.brx")},
      {"a file with another magic", damaged},
      {"a file shorter than its header", short_file},
  };
  for (const OpenFailure& c : cases) {
    RunningFrame running(sample_);
    OpenSampleWithUnstoredEdit(running);
    const Snapshot before = Take(running);
    std::string message;
    ASSERT_EQ(running.Run({PostCommand(running.hwnd(), ID_FILE_OPEN), ChooseFileName(c.file),
                           ReadAndCloseMessageBox(message)}),
              RunningFrame::kStepsDone)
        << c.name;
    EXPECT_EQ(message, "Could not open the file\n" + c.file + "\n\n" + LoadReason(c.file))
        << c.name;
    EXPECT_TRUE(Take(running) == before) << c.name;
    // The edit is still the pane's to store when the selection moves.
    EXPECT_EQ(fields::kArmour.ValueIn(running.frame().view().Document().Header(0)),
              fields::kArmour.ValueIn(PatternDocument({1, 0, 2}).Header(0)))
        << c.name;
  }
}

TEST_F(FileCommandsTest, CancelInEitherDialogChangesNothing) {
  for (WORD command : {ID_FILE_OPEN, ID_FILE_SAVE_AS}) {
    RunningFrame running(sample_);
    OpenSampleWithUnstoredEdit(running);
    const Snapshot before = Take(running);
    const std::vector<std::uint8_t> document_before = ReadBytes(sample_);
    ASSERT_EQ(running.Run({PostCommand(running.hwnd(), command), CancelFileDialog(),
                           FileDialogClosed(), Until(gui_test::QueueDrained)}),
              RunningFrame::kStepsDone)
        << command;
    EXPECT_TRUE(Take(running) == before) << command;
    EXPECT_EQ(FindProgramMessageBox(), nullptr) << command;
    EXPECT_EQ(folder_.Names(), std::vector<std::string>{"sample.brx"}) << command;
    EXPECT_EQ(ReadBytes(sample_), document_before) << command;
  }
}

TEST_F(FileCommandsTest, SaveAsWritesTheOpenPanesEditsAndAppendsTheExtension) {
  RunningFrame running(sample_);
  OpenSampleWithUnstoredEdit(running);
  HWND pane = running.frame().view().PaneWindow();
  ASSERT_EQ(running.Run({PostCommand(running.hwnd(), ID_FILE_SAVE_AS),
                         ChooseFileName(folder_.File("edited")), FileDialogClosed()}),
            RunningFrame::kStepsDone);
  StructureSet expected = PatternDocument({1, 0, 2});
  StructureHeader header = expected.Header(0);
  fields::kArmour.Put(header, 77);
  expected.SetHeader(0, header);
  const std::string written = folder_.File("edited.brx");
  std::string reason;
  ASSERT_TRUE(
      SaveToFile(expected, folder_.File("expected.brx").c_str(), SystemFileSystem(), reason))
      << reason;
  EXPECT_EQ(ReadBytes(written), ReadBytes(folder_.File("expected.brx")));
  // The pane stays as it was: same window, same text, selection unmoved.
  EXPECT_EQ(running.frame().view().PaneWindow(), pane);
  EXPECT_EQ(WindowText(ArmourField(running)), "77");
}

TEST_F(FileCommandsTest, SaveAsIntoAMissingFolderSaysWhyAndWritesNothing) {
  RunningFrame running(sample_);
  OpenSampleWithUnstoredEdit(running);
  const std::string target = folder_.File("no such folder") + "\\x.brx";
  std::string message;
  ASSERT_EQ(running.Run({PostCommand(running.hwnd(), ID_FILE_SAVE_AS), ChooseFileName(target),
                         ReadAndCloseMessageBox(message)}),
            RunningFrame::kStepsDone);
  EXPECT_EQ(message, "Could not save the file\n" + target + "\n\n" + SaveReason(target));
  EXPECT_EQ(folder_.Names(), std::vector<std::string>{"sample.brx"});
}

TEST_F(FileCommandsTest, SaveAsWithAFieldThatDoesNotConvertSaysWhichAndWritesNothing) {
  RunningFrame running(sample_);
  OpenSampleWithUnstoredEdit(running);
  SetWindowTextA(ArmourField(running), "no number");
  const std::string target = folder_.File("edited.brx");
  std::string message;
  ASSERT_EQ(running.Run({PostCommand(running.hwnd(), ID_FILE_SAVE_AS), ChooseFileName(target),
                         ReadAndCloseMessageBox(message),
                         [&] { return GetFocus() == ArmourField(running); }}),
            RunningFrame::kStepsDone);
  EXPECT_EQ(message, "Could not save the file\n" + target +
                         "\n\nThe field \"Armour (0-255)\" holds \"no number\", which is not a "
                         "number it can take. Nothing was written.");
  EXPECT_EQ(folder_.Names(), std::vector<std::string>{"sample.brx"});
  EXPECT_EQ(WindowText(ArmourField(running)), "no number");
}

// Real clicks and keys in the tree: the tree must not keep the focus it
// takes after a click whose change of selection was refused.
TEST_F(FileCommandsTest, AFieldThatDoesNotConvertHoldsTheSelectionAgainstRealInput) {
  struct Input {
    const char* name;
    std::function<void(RunningFrame&)> send;
  };
  const Input inputs[] = {
      {"a click on another item",
       [](RunningFrame& running) {
         RECT item{};
         TreeView_GetItemRect(
             running.Tree(),
             TreeView_GetNextSibling(running.Tree(), TreeView_GetRoot(running.Tree())), &item,
             TRUE);
         POINT centre{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
         ClientToScreen(running.Tree(), &centre);
         Click(centre);
       }},
      {"the Down key in the tree",
       [](RunningFrame& running) {
         SetFocus(running.Tree());
         PressKeys({VK_DOWN});
       }},
  };
  for (const Input& input : inputs) {
    SCOPED_TRACE(input.name);
    RunningFrame running(sample_);
    OpenSampleWithUnstoredEdit(running);
    SetWindowTextA(ArmourField(running), "abc");
    const HTREEITEM selected = TreeView_GetSelection(running.Tree());
    const HWND pane = running.frame().view().PaneWindow();
    static int beeps;
    beeps = 0;
    const BeepSound sound = SetBeepSound([] { ++beeps; });
    const int steps = running.Run({[&] {
                                     input.send(running);
                                     return true;
                                   },
                                   [&] { return beeps > 0; }, Until(gui_test::QueueDrained)});
    SetBeepSound(sound);
    ASSERT_EQ(steps, RunningFrame::kStepsDone);
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(GetFocus(), ArmourField(running));
    EXPECT_EQ(TreeView_GetSelection(running.Tree()), selected);
    EXPECT_EQ(running.frame().view().PaneWindow(), pane);
    EXPECT_EQ(WindowText(ArmourField(running)), "abc");
    StructureSet on_disk;
    std::string reason;
    ASSERT_TRUE(LoadFromFile(on_disk, sample_.c_str(), SystemFileSystem(), reason)) << reason;
    EXPECT_TRUE(running.frame().view().Document() == on_disk);
  }
}

TEST_F(FileCommandsTest, SaveAsOntoAnExistingFileAsksAndNoKeepsTheDialogOpen) {
  RunningFrame running(sample_);
  OpenSampleWithUnstoredEdit(running);
  const std::string existing = folder_.File("existing.brx");
  WriteBytes(existing, Bytes({1, 2, 3}));
  std::string question_no, question_yes;
  bool dialog_open_after_no = false;
  ASSERT_EQ(running.Run({PostCommand(running.hwnd(), ID_FILE_SAVE_AS), ChooseFileName(existing),
                         AnswerQuestion(IDNO, question_no), Until(gui_test::QueueDrained),
                         [&] {
                           dialog_open_after_no = FindFileDialog() != nullptr;
                           return true;
                         },
                         ChooseFileName(existing), AnswerQuestion(IDYES, question_yes),
                         FileDialogClosed()}),
            RunningFrame::kStepsDone);
  EXPECT_TRUE(dialog_open_after_no);
  EXPECT_NE(question_no.find("replace"), std::string::npos) << question_no;
  StructureSet written;
  std::string reason;
  ASSERT_TRUE(LoadFromFile(written, existing.c_str(), SystemFileSystem(), reason)) << reason;
  EXPECT_EQ(written.StructureCount(), 3u);
  EXPECT_EQ(fields::kArmour.ValueIn(written.Header(0)), 77);
}

// A dialog that fails is told, never taken for a cancel. (Wine's own dialog
// overruns its buffer on a name longer than MAX_PATH rather than failing
// with FNERR_BUFFERTOOSMALL, so the messages are checked directly.)
struct DialogFailure {
  DWORD error;
  std::string text;
};

TEST(FileDialog, AFailedDialogIsToldWithWhatWentWrong) {
  const DialogFailure cases[] = {
      {FNERR_BUFFERTOOSMALL,
       "The file name is too long: a full path can have at most 259 characters."},
      {CDERR_FINDRESFAILURE, "The file dialog failed (error 0x0006)."},
      {FNERR_INVALIDFILENAME, "The file dialog failed (error 0x3002)."},
  };
  for (const DialogFailure& c : cases) {
    std::string message;
    Script script({ReadAndCloseMessageBox(message)});
    ReportDialogFailure(nullptr, c.error);
    EXPECT_FALSE(script.timed_out()) << c.error;
    EXPECT_EQ(message, c.text) << c.error;
  }
}

TEST_F(FileCommandsTest, AStartupFileThatDoesNotLoadIsToldOnceTheFrameIsVisible) {
  const std::string missing = folder_.File("missing.brx");
  std::string message;
  bool frame_visible = false;
  int boxes = 0;
  Script script(
      {ReadAndCloseMessageBox(message, &frame_visible), Until(gui_test::QueueDrained), [&] {
         boxes = FindProgramMessageBox() ? 1 : 0;
         HWND frame = FindWindowA(nullptr, "BRXEDIT");
         EXPECT_EQ(TreeItemCountOf(FindWindowExA(frame, nullptr, "#32770", nullptr)), 0);
         PostMessageA(frame, WM_COMMAND, MAKEWPARAM(ID_APP_EXIT, 0), 0);
         return true;
       }});
  EXPECT_EQ(RunShell(missing.c_str(), SW_SHOWNORMAL, SystemFileSystem()), 1);
  EXPECT_FALSE(script.timed_out());
  EXPECT_TRUE(frame_visible);
  EXPECT_EQ(boxes, 0) << "the message comes once";
  EXPECT_EQ(message, "Could not open the file\n" + missing + "\n\n" + LoadReason(missing));
}

}  // namespace
}  // namespace brx::testing
