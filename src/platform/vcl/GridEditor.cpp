// TCustomGrid's in-place editor slot: when the editor shows, where, with which text, and
// how its text returns to the grid. Overview: Grids.h; the editor itself: InplaceEdit.cpp.
//
// EditorMode is what the grid wants (the user opened the editor, or goAlwaysShowEditor);
// FInplaceCol/FInplaceRow name the cell the editor holds the text of (-1: none). The
// editor's text reaches SetEditText on every change and once more when it closes.
//
// [SECTION] Hooks      CanEditShow ... GetEditMask
// [SECTION] Commands   ShowEditor, HideEditor, SetEditorMode, InvalidateEditor, ShowEditorChar, CancelEdit
// [SECTION] Updating   UpdateEdit, HideEdit, UpdateText
#include "platform/vcl/Grids.h"

namespace mv {

// [SECTION] Hooks
bool TCustomGrid::CanEditShow() {
    return FOptions.Contains(goEditing) && !FOptions.Contains(goRowSelect) && FCurrent.X >= FFixedCols &&
           FCurrent.Y >= FFixedRows && !ComponentState().Contains(csDesigning) && HandleAllocated();
}

bool TCustomGrid::CanEditModify() {
    return FOptions.Contains(goEditing);
}

bool TCustomGrid::CanEditAcceptKey(Char key) {
    (void)key;
    return true;
}

TInplaceEdit* TCustomGrid::CreateEditor() {
    return new TInplaceEdit(this);
}

String TCustomGrid::GetEditText(Integer col, Integer row) {
    (void)col, (void)row;
    return {};
}

void TCustomGrid::SetEditText(Integer col, Integer row, const String& value) {
    (void)col, (void)row, (void)value;
}

Integer TCustomGrid::GetEditLimit() {
    return 0;
}

String TCustomGrid::GetEditMask(Integer col, Integer row) {
    (void)col, (void)row;
    return {};
}

// [SECTION] Commands
void TCustomGrid::ShowEditor() {
    FEditorMode = true;
    UpdateEdit();
}

void TCustomGrid::HideEditor() {
    // Leaving a masked editor validates it (EDBEditError); the editor then stays open.
    TakeFocusFromEditor();
    FEditorMode = false;
    HideEdit();
}

void TCustomGrid::SetEditorMode(bool value) {
    if (!value) {
        HideEditor();
        return;
    }
    ShowEditor();
    if (FInplaceEdit && FInplaceCol >= 0) FInplaceEdit->Deselect();
}

void TCustomGrid::InvalidateEditor() {
    FInplaceCol = -1;
    FInplaceRow = -1;
    UpdateEdit();
}

// Opens the editor as if ch had been typed into it (the text it opens with is selected,
// so ch replaces it).
void TCustomGrid::ShowEditorChar(Char ch) {
    ShowEditor();
    if (FInplaceEdit && FInplaceCol >= 0) FInplaceEdit->Perform(WM_CHAR, ch, 0);
}

// Escape: the cell gets back the text the editor opened with, then the editor closes.
void TCustomGrid::CancelEdit() {
    if (FInplaceEdit && FInplaceCol >= 0 && FInplaceEdit->Text() != FEditOriginal) {
        FInplaceEdit->SetText(FEditOriginal);
        UpdateText();
    }
    HideEditor();
}

// [SECTION] Updating
void TCustomGrid::UpdateEdit() {
    if (!FEditorMode || !CanEditShow()) {
        HideEdit();
        return;
    }
    if (!FInplaceEdit) {
        FInplaceEdit = CreateEditor();
        FInplaceEdit->SetGrid(this);
    }
    if (FInplaceCol != FCurrent.X || FInplaceRow != FCurrent.Y) {
        if (FInplaceCol >= 0) UpdateText();
        FInplaceCol = FCurrent.X;
        FInplaceRow = FCurrent.Y;
        FCanEditModify = false;
        FInplaceEdit->UpdateContents();
        FEditOriginal = FInplaceEdit->Text();
        FInplaceEdit->SelectAll();
    }
    const TRect cell = CellRect(FCurrent.X, FCurrent.Y);
    if (cell.IsEmpty()) {
        // Scrolled out of sight: it keeps its text and comes back with its cell.
        TakeFocusFromEditor();
        FInplaceEdit->Hide();
        return;
    }
    if (Focused() || FInplaceEdit->Focused())
        FInplaceEdit->SetFocusAt(cell);
    else
        FInplaceEdit->Move(cell);
}

void TCustomGrid::HideEdit() {
    if (!FInplaceEdit) return;
    // The focus moves first: a masked editor refusing to let it go leaves everything as it was.
    TakeFocusFromEditor();
    if (FInplaceCol >= 0) UpdateText();
    const TGridCoord held{FInplaceCol, FInplaceRow};
    FInplaceCol = -1;
    FInplaceRow = -1;
    if (!FInplaceEdit->Visible()) return;
    FInplaceEdit->Hide();
    if (held.X >= 0) InvalidateCell(held.X, held.Y);
}

// Moves the focus from the editor to the grid (which would otherwise hand it straight back
// to a visible editor).
void TCustomGrid::TakeFocusFromEditor() {
    if (!FInplaceEdit || !FInplaceEdit->Focused() || !CanFocus()) return;
    FTakingFocus = true;
    try {
        SetFocus();
    } catch (...) {
        FTakingFocus = false;
        throw;
    }
    FTakingFocus = false;
}

void TCustomGrid::UpdateText() {
    if (FInplaceEdit && FInplaceCol >= 0 && FInplaceRow >= 0)
        SetEditText(FInplaceCol, FInplaceRow, FInplaceEdit->Text());
}

} // namespace mv
