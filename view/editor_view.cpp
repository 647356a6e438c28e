#include "view/editor_view.h"

#include <utility>

#include "framework/message_map.h"
#include "model/structure_data.h"
#include "model/structure_files.h"
#include "res/resource.h"
#include "view/beep.h"
#include "view/structure_pane.h"
#include "view/tile_pane.h"

namespace brx {
namespace {

constexpr char kStructureItemText[] = "Structure item";
constexpr char kTileItemText[] = "Tile item";
// Space between the button row and the pane, in pixels.
constexpr int kPaneGap = 10;

// The longest part of a field's text that a message quotes.
constexpr std::size_t kQuotedTextLength = 40;

// What a message says of the field that stopped a store.
std::string DescribeFailedField(const FieldFailure& failure) {
  std::string text = failure.text;
  if (text.size() > kQuotedTextLength) text = text.substr(0, kQuotedTextLength) + "...";
  return "The field \"" + failure.label + "\" holds \"" + text +
         "\", which is not a number it can take. Nothing was written.";
}

// The item a selection notification names. The ANSI and the wide form of the
// notification differ only in the text pointer of their items, so the item
// handles sit at the same place in both.
const NMTREEVIEWA& TreeNotification(NMHDR* header) {
  return *reinterpret_cast<const NMTREEVIEWA*>(header);
}

}  // namespace

HWND CEditorView::Create(HWND parent) {
  // The template's tree control needs its window class registered.
  const INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TREEVIEW_CLASSES};
  InitCommonControlsEx(&classes);
  return CreateModeless(IDD_EDITOR_VIEW, parent);
}

bool CEditorView::ProcessWindowMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                       LRESULT& result) {
  using Map = framework::MessageMap<CEditorView>;
  using Entry = Map::Entry;
  static const Map map{
      Entry::Message(WM_INITDIALOG, &CEditorView::OnInitDialog),
      Entry::Command(IDC_ADD_STRUCT, BN_CLICKED, &CEditorView::OnAddStruct),
      Entry::Command(IDC_ADD_TILE, BN_CLICKED, &CEditorView::OnAddTile),
      Entry::Command(IDC_DELETE, BN_CLICKED, &CEditorView::OnDelete),
      // The tree sends the ANSI codes to a dialog made by CreateDialogParamA,
      // the wide ones to a wide parent; either is the same event.
      Entry::Notify(IDC_STRUCTURE_TREE, static_cast<int>(TVN_SELCHANGEDA),
                    &CEditorView::OnSelChanged),
      Entry::Notify(IDC_STRUCTURE_TREE, static_cast<int>(TVN_SELCHANGEDW),
                    &CEditorView::OnSelChanged),
      Entry::Notify(IDC_STRUCTURE_TREE, static_cast<int>(TVN_SELCHANGINGA),
                    &CEditorView::OnSelChanging),
      Entry::Notify(IDC_STRUCTURE_TREE, static_cast<int>(TVN_SELCHANGINGW),
                    &CEditorView::OnSelChanging),
  };
  return map.Dispatch(*this, window, message, wparam, lparam, result);
}

void CEditorView::NewDocument() {
  document_.Clear();
  RebuildTree(document_);
}

bool CEditorView::LoadDocument(const char* path, std::string& error) {
  // Read aside, so that a file that cannot be read costs nothing of the
  // open document or of the edits in its pane.
  StructureSet loaded;
  if (!LoadFromFile(loaded, path, files_, error)) return false;
  document_ = std::move(loaded);
  RebuildTree(document_);
  return true;
}

bool CEditorView::SaveDocument(const char* path, std::string& error,
                               std::optional<FieldFailure>* failed_field) {
  // The file holds what the user sees, edits not yet stored included.
  if (auto failure = StorePaneOf(SelectedItem())) {
    error = DescribeFailedField(*failure);
    if (failed_field) *failed_field = std::move(failure);
    return false;
  }
  return SaveToFile(document_, path, files_, error);
}

std::uint32_t CEditorView::ItemIndex(HTREEITEM item) const {
  TVITEMA data{};
  data.mask = TVIF_PARAM;
  data.hItem = item;
  SendMessageA(tree_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
  return static_cast<std::uint32_t>(data.lParam);
}

bool CEditorView::IsStructureItem(HTREEITEM item) const {
  return ParentItem(item) == nullptr;
}

HTREEITEM CEditorView::SelectedItem() const {
  return TreeView_GetSelection(tree_);
}

HTREEITEM CEditorView::ParentItem(HTREEITEM item) const {
  return TreeView_GetParent(tree_, item);
}

HTREEITEM CEditorView::InsertItem(HTREEITEM parent, HTREEITEM after, const char* text,
                                  std::size_t index, UINT state) {
  TVINSERTSTRUCTA insert{};
  insert.hParent = parent;
  insert.hInsertAfter = after;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM | (state ? TVIF_STATE : 0);
  insert.item.pszText = const_cast<char*>(text);
  insert.item.lParam = static_cast<LPARAM>(index);
  insert.item.state = state;
  insert.item.stateMask = state;
  return reinterpret_cast<HTREEITEM>(
      SendMessageA(tree_, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

// A new item goes directly after the selected item when that is its
// sibling, and last among its siblings otherwise.
HTREEITEM CEditorView::InsertionPoint(HTREEITEM parent) const {
  HTREEITEM selected = SelectedItem();
  if (!selected) return TVI_LAST;
  HTREEITEM selected_parent = ParentItem(selected);
  const bool sibling = parent == TVI_ROOT ? selected_parent == nullptr : selected_parent == parent;
  return sibling ? selected : TVI_LAST;
}

void CEditorView::SelectItem(HTREEITEM item) {
  TreeView_SelectItem(tree_, item);
}

std::optional<FieldFailure> CEditorView::StorePaneOf(HTREEITEM item) {
  if (!item) return std::nullopt;
  const std::uint32_t index = ItemIndex(item);
  if (IsStructureItem(item)) return StoreStructurePane(index);
  return StoreTilePane(ItemIndex(ParentItem(item)), index);
}

bool CEditorView::StorePaneBeforeLeaving(HTREEITEM item) {
  const auto failure = StorePaneOf(item);
  if (!failure) return true;
  pane_->ReportExchangeFailure(failure->control);
  return false;
}

bool CEditorView::ShowPaneFor(HTREEITEM item) {
  // Destroys the pane's window, then the object; storing is not done here
  // but when the selection leaves the item.
  pane_.reset();
  if (!item) return false;
  const std::uint32_t index = ItemIndex(item);
  const bool shown = IsStructureItem(item) ? CreateStructurePane(index)
                                           : CreateTilePane(ItemIndex(ParentItem(item)), index);
  PlacePane();
  return shown;
}

// Puts the open pane below the buttons, its left edge under "&Add Struct",
// and shows it (the structure pane's template is hidden).
void CEditorView::PlacePane() {
  if (!pane_ || !pane_->hwnd()) return;
  WINDOWPLACEMENT button{};
  button.length = sizeof button;
  GetWindowPlacement(GetDlgItem(hwnd(), IDC_ADD_STRUCT), &button);
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  GetWindowPlacement(pane_->hwnd(), &placement);
  RECT& rect = placement.rcNormalPosition;
  const LONG width = rect.right - rect.left;
  const LONG height = rect.bottom - rect.top;
  rect.left = button.rcNormalPosition.left;
  rect.top = button.rcNormalPosition.bottom + kPaneGap;
  rect.right = rect.left + width;
  rect.bottom = rect.top + height;
  placement.showCmd = SW_SHOWNORMAL;
  SetWindowPlacement(pane_->hwnd(), &placement);
}

bool CEditorView::RebuildTree(const StructureSet& set) {
  // Nothing is drawn until the tree is complete: a tree control repaints
  // and recounts its scroll range on every insertion while redraw is on.
  SendMessageA(tree_, WM_SETREDRAW, FALSE, 0);
  // The open pane goes without being stored: the document has already been
  // replaced and the old items' indices may not fit it. It is closed before
  // the items go, so that nothing could be stored even by a tree that
  // reported a change of selection while deleting all (this one does not).
  ShowPaneFor(nullptr);
  TreeView_DeleteAllItems(tree_);
  // Nothing is selected while the items go in, so the insertion rule puts
  // each last among its siblings and the tree shows document order. The
  // rule's answer is known without asking the tree for its selection, one
  // message per item that a large document would feel.
  for (std::size_t i = 0; i < set.StructureCount(); ++i) {
    // A structure with tiles goes in expanded, as expanding it afterwards
    // would leave it, again at one message less per item.
    const UINT state = set.TileCount(i) > 0 ? TVIS_EXPANDED : 0;
    HTREEITEM structure = InsertItem(TVI_ROOT, TVI_LAST, kStructureItemText, i, state);
    for (std::size_t j = 0; j < set.TileCount(i); ++j)
      InsertItem(structure, TVI_LAST, kTileItemText, j);
  }
  SelectItem(TreeView_GetRoot(tree_));
  SendMessageA(tree_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(tree_, nullptr, TRUE);
  return true;
}

bool CEditorView::CreateStructurePane(std::size_t structure) {
  return OpenPane(std::make_unique<CStructurePane>(document_.Header(structure)));
}

std::optional<FieldFailure> CEditorView::StoreStructurePane(std::size_t structure) {
  return StoreOpenPane<CStructurePane>(
      [&](const StructureHeader& header) { document_.SetHeader(structure, header); });
}

bool CEditorView::CreateTilePane(std::size_t structure, std::size_t tile) {
  return OpenPane(std::make_unique<CTilePane>(document_.Tile(structure, tile)));
}

std::optional<FieldFailure> CEditorView::StoreTilePane(std::size_t structure, std::size_t tile) {
  return StoreOpenPane<CTilePane>(
      [&](const TileRecord& record) { document_.SetTile(structure, tile, record); });
}

// Makes `pane` the open pane (the previous one goes with its window) and
// creates its window, which loads the fields from the pane's record copy.
bool CEditorView::OpenPane(std::unique_ptr<CPropertyPane> pane) {
  pane_ = std::move(pane);
  pane_->Create(hwnd());
  return true;
}

// Exchanges the open pane's fields and writes its record copy back when
// every field converted. After a failure the copy holds part of the form,
// which must not reach the document; the next store reads the whole form again.
template <typename Pane, typename WriteBack>
std::optional<FieldFailure> CEditorView::StoreOpenPane(WriteBack write_back) {
  auto* pane = dynamic_cast<Pane*>(pane_.get());
  if (!pane) return std::nullopt;
  auto failure = pane->ExchangeFields(ExchangeDirection::kStore);
  if (!failure) write_back(pane->record());
  return failure;
}

LRESULT CEditorView::OnInitDialog(UINT, WPARAM, LPARAM, bool&) {
  tree_ = GetDlgItem(hwnd(), IDC_STRUCTURE_TREE);
  // 0: the dialog manager sets no initial focus.
  return 0;
}

LRESULT CEditorView::OnAddStruct(WORD, WORD, HWND, bool&) {
  // Refused at the format's limit, so that every document can be saved.
  if (document_.StructureCount() >= kMaxStructures) {
    SimpleBeep();
    return 0;
  }
  // The pane is stored before the document grows, so that a field that
  // does not convert holds everything back.
  if (!StorePaneBeforeLeaving(SelectedItem())) return 0;
  const std::size_t structure = document_.AppendStructure(StructureEntry{});
  // Selecting stores the pane being left and opens the new structure's.
  SelectItem(InsertItem(TVI_ROOT, InsertionPoint(TVI_ROOT), kStructureItemText, structure));
  return 0;
}

LRESULT CEditorView::OnAddTile(WORD, WORD, HWND, bool&) {
  HTREEITEM selected = SelectedItem();
  if (!selected || !IsStructureItem(selected)) return 0;
  const std::uint32_t structure = ItemIndex(selected);
  if (document_.TileCount(structure) >= kMaxTilesPerStructure) {
    SimpleBeep();
    return 0;
  }
  const std::size_t tile = document_.AppendTile(structure, TileRecord{});
  InsertItem(selected, InsertionPoint(selected), kTileItemText, tile);
  TreeView_Expand(tree_, selected, TVE_EXPAND);
  return 0;
}

LRESULT CEditorView::OnDelete(WORD, WORD, HWND, bool&) {
  HTREEITEM selected = SelectedItem();
  if (!selected || !IsStructureItem(selected)) return 0;
  // The structure stays in the document under its index and is saved with
  // it, so it keeps the pane's edits. They are stored and the pane closed
  // first, because the tree need not name the deleted item when it moves the
  // selection away from it (Wine's does not).
  if (!StorePaneBeforeLeaving(selected)) return 0;
  ShowPaneFor(nullptr);
  TreeView_DeleteItem(tree_, selected);
  // Whatever the tree reported while moving its selection, the pane follows it.
  ShowPaneFor(SelectedItem());
  return 0;
}

LRESULT CEditorView::OnSelChanging(int, NMHDR* header, bool&) {
  // TRUE refuses the change: the item stays selected and its pane open with
  // everything typed into it.
  return StorePaneBeforeLeaving(TreeNotification(header).itemOld.hItem) ? FALSE : TRUE;
}

LRESULT CEditorView::OnSelChanged(int, NMHDR* header, bool&) {
  ShowPaneFor(TreeNotification(header).itemNew.hItem);
  return 0;
}

}  // namespace brx
