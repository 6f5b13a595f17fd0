// TInplaceEdit: the grid's cell editor, a borderless masked edit living inside the grid.
// It hands the grid the keys that move between cells and gates every user change through
// the grid's CanEditModify/CanEditAcceptKey. Overview: Grids.h; the grid side: GridEditor.cpp.
#include "platform/vcl/Grids.h"

namespace mv {

TInplaceEdit::TInplaceEdit(TComponent* owner) : TCustomMaskEdit(owner) {
    SetBorderStyle(bsNone);
    SetTabStop(false);
    SetVisible(false);
}

TInplaceEdit::~TInplaceEdit() {
    if (FGrid && FGrid->FInplaceEdit == this) FGrid->FInplaceEdit = nullptr;
}

void TInplaceEdit::SetGrid(TCustomGrid* grid) {
    FGrid = grid;
    SetParent(grid);
}

void TInplaceEdit::UpdateContents() {
    if (!FGrid) return;
    const Integer col = FGrid->Col(), row = FGrid->Row();
    FLoading = true;
    try {
        // Cleared first so that the new mask does not reshape the previous cell's text.
        SetText(String());
        SetEditMask(FGrid->GetEditMask(col, row));
        SetText(FGrid->GetEditText(col, row));
        SetMaxLength(FGrid->GetEditLimit());
    } catch (...) {
        FLoading = false;
        throw;
    }
    FLoading = false;
}

void TInplaceEdit::BiDiModeChanged() {
    TCustomMaskEdit::BiDiModeChanged();
    // The text sits where the cell's text would: at the right in a mirrored grid.
    SetAlignment(UseRightToLeftAlignment() ? taRightJustify : taLeftJustify);
}

void TInplaceEdit::Move(const TRect& loc) {
    SetBounds(loc.Left, loc.Top, loc.Width(), loc.Height());
    if (!TCustomMaskEdit::Visible()) SetVisible(true);
    Invalidate();
}

void TInplaceEdit::Hide() {
    if (TCustomMaskEdit::Visible()) SetVisible(false);
}

void TInplaceEdit::Deselect() {
    SetSelStart(static_cast<Integer>(EditText().size()));
}

void TInplaceEdit::SetFocusAt(const TRect& loc) {
    Move(loc);
    if (!Focused() && CanFocus()) SetFocus();
}

bool TInplaceEdit::EditCanModify() {
    if (!FGrid) return true;
    if (!FGrid->FCanEditModify) FGrid->FCanEditModify = FGrid->CanEditModify();
    return FGrid->FCanEditModify;
}

void TInplaceEdit::KeyDown(Word& key, TShiftState shift) {
    if (!FGrid) {
        TCustomMaskEdit::KeyDown(key, shift);
        return;
    }
    auto sendToGrid = [&] {
        FGrid->KeyDown(key, shift);
        key = 0;
    };
    const bool forwardMovement = FGrid->Options().Contains(goAlwaysShowEditor);
    const Integer length = static_cast<Integer>(EditText().size());
    const bool nothingSelected = SelLength() == 0;
    const bool atStart = nothingSelected && SelStart() == 0;
    const bool atEnd = nothingSelected && SelStart() == length;
    switch (key) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_ESCAPE:
        sendToGrid();
        break;
    case VK_TAB:
        if (!shift.Contains(ssAlt)) sendToGrid();
        break;
    case VK_LEFT:
    case VK_HOME:
        if (forwardMovement && atStart && !shift.Contains(ssShift)) sendToGrid();
        break;
    case VK_RIGHT:
    case VK_END:
        if (forwardMovement && atEnd && !shift.Contains(ssShift)) sendToGrid();
        break;
    case VK_F2:
        Deselect();
        key = 0;
        break;
    default:
        break;
    }
    if (key != 0) TCustomMaskEdit::KeyDown(key, shift);
}

void TInplaceEdit::KeyPress(Char& key) {
    if (FGrid) {
        switch (key) {
        case u'\r':
            // Enter closes (or, with goAlwaysShowEditor, keeps) the editor: the grid's call.
            FGrid->KeyPress(key);
            key = 0;
            return;
        case 27:
        case u'\t':
            key = 0; // already handled as keys by the grid
            return;
        case 26: // Ctrl+Z
            if (!EditCanModify()) key = 0;
            break;
        default:
            if (key >= u' ' && !FGrid->CanEditAcceptKey(key)) {
                MessageBeep();
                key = 0;
            }
            break;
        }
    }
    if (key != 0) TCustomMaskEdit::KeyPress(key);
}

void TInplaceEdit::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_GETDLGCODE:
        message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
        if (FGrid && FGrid->Options().Contains(goTabs)) message.Result |= DLGC_WANTTAB;
        return;
    case WM_UNDO:
    case EM_UNDO:
        if (!EditCanModify()) return;
        break;
    default:
        break;
    }
    TCustomMaskEdit::WndProc(message);
}

void TInplaceEdit::Change() {
    TCustomMaskEdit::Change();
    if (!FLoading && FGrid && FGrid->FInplaceCol >= 0)
        FGrid->SetEditText(FGrid->FInplaceCol, FGrid->FInplaceRow, Text());
}

void TInplaceEdit::TypeCodePoint(const String& chars) {
    if (EditCanModify())
        TCustomMaskEdit::TypeCodePoint(chars);
    else
        MessageBeep();
}

void TInplaceEdit::DeleteBackward(bool word) {
    if (EditCanModify())
        TCustomMaskEdit::DeleteBackward(word);
    else
        MessageBeep();
}

void TInplaceEdit::DeleteForward(bool word) {
    if (EditCanModify())
        TCustomMaskEdit::DeleteForward(word);
    else
        MessageBeep();
}

void TInplaceEdit::InsertText(const String& text, bool limit) {
    if (EditCanModify())
        TCustomMaskEdit::InsertText(text, limit);
    else
        MessageBeep();
}

void TInplaceEdit::EraseSelection() {
    if (EditCanModify())
        TCustomMaskEdit::EraseSelection();
    else
        MessageBeep();
}

} // namespace mv
