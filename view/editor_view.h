// The frame's client window: the tree of all structures and their tiles,
// the buttons that add structures and tiles and delete structures from the
// tree, and the one property pane of the selected item. The view owns the
// document and keeps the tree and the document in step.
#pragma once

#include <windows.h>
// commctrl.h builds on the types of windows.h.
#include <commctrl.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "framework/dialog.h"
#include "model/file_system.h"
#include "model/structure_set.h"
#include "view/field_exchange.h"

namespace brx {

class CEditorView : public framework::CDialog {
 public:
  // Documents are loaded and saved through `files`, which outlives the view.
  explicit CEditorView(FileSystem& files) : files_(files) {}

  // Dialog 129 as a visible child of `parent` (the frame, which sizes it).
  HWND Create(HWND parent);

  // Empties the document and the tree; no pane stays open.
  void NewDocument();
  // Replaces the document by the file's content and rebuilds the tree. On
  // failure the document, the tree, the selection and the open pane with its
  // unsaved edits stay as they were; false, and `error` says why.
  bool LoadDocument(const char* path, std::string& error);
  // Stores the open pane's edits into the document (the pane stays open and
  // the selection does not move), then writes the document to the file.
  // False, and `error` says why, when the writer fails or when a field of
  // the pane does not convert: then nothing is written and `failed_field`
  // (when given) names the field, for the caller to report.
  bool SaveDocument(const char* path, std::string& error,
                    std::optional<FieldFailure>* failed_field = nullptr);

  const StructureSet& Document() const { return document_; }
  // The open pane's window; null while no pane is open.
  HWND PaneWindow() const { return pane_ ? pane_->hwnd() : nullptr; }

  bool ProcessWindowMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                            LRESULT& result) override;

 private:
  // Tree items: a structure item (top level) carries its structure's index,
  // a tile item (its child) the tile's index within that structure.
  std::uint32_t ItemIndex(HTREEITEM item) const;
  bool IsStructureItem(HTREEITEM item) const;
  HTREEITEM SelectedItem() const;
  HTREEITEM ParentItem(HTREEITEM item) const;
  HTREEITEM InsertItem(HTREEITEM parent, HTREEITEM after, const char* text, std::size_t index,
                       UINT state = 0);
  HTREEITEM InsertionPoint(HTREEITEM parent) const;
  void SelectItem(HTREEITEM item);

  // The pane and the record the item stands for. A store writes into the
  // document only when every field converted; otherwise it returns the
  // field that did not.
  std::optional<FieldFailure> StorePaneOf(HTREEITEM item);
  // Stores the pane before whatever leaves it; when a field does not
  // convert, gives the failure response and is false: the caller holds back.
  bool StorePaneBeforeLeaving(HTREEITEM item);
  bool ShowPaneFor(HTREEITEM item);
  void PlacePane();
  bool RebuildTree(const StructureSet& set);

  // The pane operations. Create makes a pane from a copy of the record;
  // store exchanges the pane's fields and writes the copy back into the
  // document, unless a field did not convert: then it returns that field.
  bool CreateStructurePane(std::size_t structure);
  std::optional<FieldFailure> StoreStructurePane(std::size_t structure);
  bool CreateTilePane(std::size_t structure, std::size_t tile);
  std::optional<FieldFailure> StoreTilePane(std::size_t structure, std::size_t tile);
  bool OpenPane(std::unique_ptr<CPropertyPane> pane);
  template <typename Pane, typename WriteBack>
  std::optional<FieldFailure> StoreOpenPane(WriteBack write_back);

  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, bool&);
  LRESULT OnAddStruct(WORD, WORD, HWND, bool&);
  LRESULT OnAddTile(WORD, WORD, HWND, bool&);
  LRESULT OnDelete(WORD, WORD, HWND, bool&);
  LRESULT OnSelChanging(int, NMHDR* header, bool&);
  LRESULT OnSelChanged(int, NMHDR* header, bool&);

  HWND tree_ = nullptr;
  std::unique_ptr<CPropertyPane> pane_;
  FileSystem& files_;
  StructureSet document_;
};

}  // namespace brx
