// Grids: TCustomGrid, the framework's matrix of cells (fixed and scrolling rows and
// columns, per-index sizes, scrolling, selection, sizing and moving by mouse, keyboard
// navigation, an in-place editor slot), and TInplaceEdit, the editor it places over a cell.
//
// Vocabulary. "Fixed" cells are the first FixedCols columns and FixedRows rows; they never
// scroll. "Scrolling" cells are the others; the first scrolling cell shown is
// (LeftCol, TopRow). A cell is "visible" when any of its pixels lies inside the client
// area, "fully visible" when all of them do. Each cell is followed (right, or left when
// mirrored, and below) by its grid line of the effective line width; CellRect excludes it.
//
// Right to left. When IsRightToLeft the grid is mirrored: the fixed columns stand at the
// right edge and the columns continue leftward. All column geometry is computed once, as
// distances from the "leading edge" (the left edge, the right one when mirrored), and
// turned into client pixels at the boundary (MirrorX/MirrorRect): CellRect, BoxRect,
// MouseCoord, painting, invalidation, the editor and pixel scrolling speak client pixels;
// the draw info and the sizing positions speak leading-edge distances.
//
// Call flow of painting: WM_PAINT -> Paint -> CalcDrawInfo -> the rows and columns that
// meet the clip -> per cell: default fill (DefaultDrawing) -> DrawCell -> fixed-cell edge;
// then grid lines, the focus rectangle and the sizing/moving markers.
// Call flow of a scroll: SetTopRow/SetLeftCol/ScrollBar/keys -> MoveTopLeft -> TopLeftMoved
// (ScrollData by pixels when less than a page, else invalidate) -> UpdateScrollPos ->
// TopLeftChanged -> the editor follows its cell.
// Implementation: GridGeometry.cpp, GridPainting.cpp, GridMouse.cpp, GridKeyboard.cpp,
// GridEditor.cpp, GridScrolling.cpp, InplaceEdit.cpp.
#pragma once

#include "platform/rtl/Set.h"
#include "platform/vcl/Controls.h"

#include "platform/vcl/Mask.h"

#include <functional>
#include <vector>

namespace mv {

class TCustomGrid;
class TInplaceEdit;

// [SECTION] Vocabulary
enum TGridOption {
    goFixedVertLine,
    goFixedHorzLine,
    goVertLine,
    goHorzLine,
    goRangeSelect,
    goDrawFocusSelected,
    goRowSizing,
    goColSizing,
    goRowMoving,
    goColMoving,
    goEditing,
    goTabs,
    goRowSelect,
    goAlwaysShowEditor,
    goThumbTracking,
    goFixedHotTrack // the fixed cell under the mouse draws hot (gdHotTrack), pressed (gdPressed)
};
using TGridOptions = Set<TGridOption>;

enum TGridDrawStateItem { gdSelected, gdFocused, gdFixed, gdHotTrack, gdPressed };
using TGridDrawState = Set<TGridDrawStateItem>;

enum TGridState { gsNormal, gsSelecting, gsRowSizing, gsColSizing, gsRowMoving, gsColMoving };

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

// sdLeft/sdRight: toward/away from the fixed columns (on screen swapped when mirrored).
enum TGridScrollDirection { sdLeft, sdRight, sdUp, sdDown };
using TGridScrollDirections = Set<TGridScrollDirection>;

struct TGridCoord {
    Integer X = 0;
    Integer Y = 0;
    friend constexpr bool operator==(const TGridCoord&, const TGridCoord&) = default;
};

// Inclusive cell ranges (Right and Bottom are the last column and row inside).
struct TGridRect {
    Integer Left = 0;
    Integer Top = 0;
    Integer Right = 0;
    Integer Bottom = 0;
    friend constexpr bool operator==(const TGridRect&, const TGridRect&) = default;
};

// The rectangle spanned by two corners in any order.
TGridRect GridRect(TGridCoord a, TGridCoord b);
bool PointInGridRect(Integer col, Integer row, const TGridRect& rect);

// What one axis of the grid shows (pixels of that axis; horizontal ones measured from the
// leading edge).
struct TGridAxisDrawInfo {
    Integer EffectiveLineWidth = 0; // the grid line after each cell (0 when lines are off)
    Integer FixedBoundary = 0;      // end of the fixed cells and their lines
    Integer GridBoundary = 0;       // end of the last visible cell's line, at most GridExtent
    Integer GridExtent = 0;         // the client extent
    Integer LastFullVisibleCell = 0;
    Integer FullVisBoundary = 0; // end of the last fully visible cell's line
    Integer FixedCellCount = 0;
    Integer FirstGridCell = 0;                 // LeftCol or TopRow
    Integer GridCellCount = 0;                 // ColCount or RowCount
    std::function<Integer(Integer)> GetExtent; // width of a column / height of a row
};

struct TGridDrawInfo {
    TGridAxisDrawInfo Horz, Vert;
};

using TSelectCellEvent = std::function<void(TObject* Sender, Integer ACol, Integer ARow, bool& CanSelect)>;
using TMovedEvent = std::function<void(TObject* Sender, Integer FromIndex, Integer ToIndex)>;
using TDrawCellEvent =
    std::function<void(TObject* Sender, Integer ACol, Integer ARow, const TRect& Rect, TGridDrawState State)>;

// Message texts of the grid unit.
namespace GridsConsts {
extern String SIndexOutOfRange;  // "Grid index out of range"
extern String SFixedColTooBig;   // "Fixed column count must be less than column count"
extern String SFixedRowTooBig;   // "Fixed row count must be less than row count"
extern String SInvalidGridValue; // "Invalid grid value %d for %s; it must be at least %d"
} // namespace GridsConsts

// [SECTION] TCustomGrid
class TCustomGrid : public TCustomControl {
public:
    explicit TCustomGrid(TComponent* owner);
    ~TCustomGrid() override;

    // --- dimensions ---------------------------------------------------------------------
    // Counts are at least 1; FixedCols/FixedRows below the counts (EInvalidGridOperation
    // SFixedColTooBig / SFixedRowTooBig otherwise). Lowering a count moves the current
    // cell, the selection and the scroll position into range.
    Integer ColCount() const { return FColCount; }
    void SetColCount(Integer value);
    Integer RowCount() const { return FRowCount; }
    void SetRowCount(Integer value);
    Integer FixedCols() const { return FFixedCols; }
    void SetFixedCols(Integer value);
    Integer FixedRows() const { return FFixedRows; }
    void SetFixedRows(Integer value);

    // Per-index sizes; an index outside the counts reads the default and raises
    // EInvalidGridOperation (SIndexOutOfRange) when assigned. -1 (any negative value) hides
    // the column or row: it takes no pixels and no grid line. A change calls
    // ColWidthsChanged/RowHeightsChanged, whose base updates scroll bars, editor and paint.
    Integer ColWidths(Integer index) const;
    void SetColWidths(Integer index, Integer width);
    Integer RowHeights(Integer index) const;
    void SetRowHeights(Integer index, Integer height);
    // Assigning a default resets every per-index size to it. Negative values, and a
    // negative GridLineWidth, raise EInvalidGridOperation (SInvalidGridValue).
    Integer DefaultColWidth() const { return FDefaultColWidth; }
    void SetDefaultColWidth(Integer value);
    Integer DefaultRowHeight() const { return FDefaultRowHeight; }
    void SetDefaultRowHeight(Integer value);
    Integer GridLineWidth() const { return FGridLineWidth; }
    void SetGridLineWidth(Integer value);

    // --- position ---------------------------------------------------------------------
    // The current cell. Assigning goes through FocusCell (SelectCell may refuse; the
    // anchor moves with it; the cell is scrolled into view). Out of range: SIndexOutOfRange.
    Integer Col() const { return FCurrent.X; }
    void SetCol(Integer value);
    Integer Row() const { return FCurrent.Y; }
    void SetRow(Integer value);
    // The first scrolling column/row shown; clamped so that the last cells fill the view.
    Integer LeftCol() const { return FTopLeft.X; }
    void SetLeftCol(Integer value);
    Integer TopRow() const { return FTopLeft.Y; }
    void SetTopRow(Integer value);
    // Fully visible scrolling columns/rows from LeftCol/TopRow (at least 0).
    Integer VisibleColCount();
    Integer VisibleRowCount();

    // --- look and behaviour --------------------------------------------------------------
    TGridOptions Options() const { return FOptions; }
    void SetOptions(TGridOptions value);
    // The bars the grid keeps in step with its scroll position. A bar taken out of the
    // style is hidden then and afterwards left alone (a descendant may drive it itself).
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle value);
    TColor FixedColor() const { return FFixedColor; }
    void SetFixedColor(TColor value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle value);
    // When set, Paint fills each cell with its state's colours before DrawCell.
    bool DefaultDrawing() const { return FDefaultDrawing; }
    void SetDefaultDrawing(bool value) { FDefaultDrawing = value; }

    // The selected range between the anchor and the current cell (whole rows with
    // goRowSelect). Moving with Shift or dragging keeps the anchor; a plain move brings the
    // anchor along. Assigning moves the current cell to the range's top-left and the anchor
    // to its bottom-right; out of range: SIndexOutOfRange.
    TGridRect Selection() const;
    void SetSelection(const TGridRect& value);

    // --- the editor ----------------------------------------------------------------------
    // EditorMode true shows the editor when CanEditShow allows; false hides it (writing
    // its text through SetEditText).
    bool EditorMode() const { return FEditorMode; }
    void SetEditorMode(bool value);
    // The editor once created (CreateEditor), else null. The grid owns it.
    TInplaceEdit* InplaceEditor() const { return FInplaceEdit; }
    TGridState GridState() const { return FGridState; }

    // --- geometry -----------------------------------------------------------------------
    // The client rectangle of a cell without its grid line; empty (all zero) when the cell
    // is not visible (scrolled out, hidden, beyond the client area). A partly visible cell
    // keeps its full size: the rectangle may reach past the client edge.
    TRect CellRect(Integer col, Integer row);
    // The client rectangle covering the visible cells of a range (scrolled-out cells left
    // out; empty when none shows).
    TRect BoxRect(Integer left, Integer top, Integer right, Integer bottom);
    // The cell under a client point; -1 for X and/or Y outside all cells (a point on a grid
    // line belongs to the cell before it, in reading order).
    TGridCoord MouseCoord(Integer x, Integer y);
    void CalcDrawInfo(TGridDrawInfo& info);
    // Draw info for a client size other than the current one (CalcDrawInfo uses the client).
    void CalcDrawInfoXY(TGridDrawInfo& info, Integer useWidth, Integer useHeight);
    // Draw info of the fixed area only (FirstGridCell = fixed count, extent of the fixed cells).
    void CalcFixedInfo(TGridDrawInfo& info);

    // --- invalidation --------------------------------------------------------------------
    void InvalidateCell(Integer col, Integer row);
    void InvalidateRow(Integer row);
    void InvalidateCol(Integer col);
    void InvalidateGrid();
    // The editor reloads text, mask and limit from the grid and moves to its cell.
    void InvalidateEditor();

    // --- commands -------------------------------------------------------------------------
    void ShowEditor();
    void HideEditor();
    // Moves the current cell (SelectCell may refuse); moveAnchor collapses the selection;
    // show scrolls the cell into view. Out of range: EInvalidGridOperation SIndexOutOfRange.
    void MoveColRow(Integer col, Integer row, bool moveAnchor, bool show);
    // Moves a column/row (with its size) from one index to another; the cells between
    // shift by one. Then ColumnMoved/RowMoved. Out of range: SIndexOutOfRange.
    void MoveColumn(Integer fromIndex, Integer toIndex);
    void MoveRow(Integer fromIndex, Integer toIndex);
    // MoveColRow with show, then the editor follows and Click fires.
    void FocusCell(Integer col, Integer row, bool moveAnchor);
    // Moves the painted scrolling area by (dx, dy) pixels: vertically the band below the
    // fixed rows, horizontally the band beside the fixed columns (dx > 0 moves the cells
    // away from them, leftward when mirrored). Only the uncovered strips are painted
    // again; the editor follows its cell.
    void ScrollData(Integer dx, Integer dy);

    TSelectCellEvent OnSelectCell;
    TMovedEvent OnColumnMoved;
    TMovedEvent OnRowMoved;
    TNotifyEvent OnTopLeftChanged;
    TDrawCellEvent OnDrawCell;

protected:
    friend class TInplaceEdit;

    // --- painting hooks ------------------------------------------------------------------
    void Paint() override;
    // Paints one cell inside rect (client pixels, mirrored in a right-to-left grid; its grid
    // line excluded; the full cell even when it is partly visible); the canvas is clipped to
    // the cell and, with DefaultDrawing, already filled with the state's colours (brush and
    // font set). A fixed cell gets its edge after this (sunken while gdPressed). With
    // goFixedHotTrack the fixed cell under the mouse has gdHotTrack, and gdPressed while
    // the left button pressed on it is held over it. The base fires OnDrawCell.
    virtual void DrawCell(Integer col, Integer row, const TRect& rect, TGridDrawState state);

    // --- sizing and moving --------------------------------------------------------------------
    // Decides what a press at (x, y) would start: gsColSizing/gsRowSizing on the border of a
    // column in the fixed rows (a row in the fixed columns) with goColSizing/goRowSizing;
    // index is that column/row, sizingPos the border's client position and sizingOfs its
    // distance from the point, both measured from the leading edge for columns (the sized
    // column's trailing border is its left one when mirrored). fixedInfo receives the
    // fixed-area draw info.
    virtual void CalcSizingState(Integer x, Integer y, TGridState& state, Integer& index, Integer& sizingPos,
                                 Integer& sizingOfs, TGridDrawInfo& fixedInfo);
    // Column moving by dragging a fixed-row cell: Begin decides whether a drag may start
    // (origin and destination are the pressed column), Check follows the mouse (may change
    // the destination; false shows no drop marker), End decides whether the move happens.
    virtual bool BeginColumnDrag(Integer& origin, Integer& destination, const TPoint& mousePt);
    virtual bool CheckColumnDrag(Integer& origin, Integer& destination, const TPoint& mousePt);
    virtual bool EndColumnDrag(Integer& origin, Integer& destination, const TPoint& mousePt);
    virtual bool BeginRowDrag(Integer& origin, Integer& destination, const TPoint& mousePt);
    virtual bool CheckRowDrag(Integer& origin, Integer& destination, const TPoint& mousePt);
    virtual bool EndRowDrag(Integer& origin, Integer& destination, const TPoint& mousePt);

    // --- editing hooks ------------------------------------------------------------------------
    // The editor may show: goEditing, a scrolling current cell, not goRowSelect, not designing.
    virtual bool CanEditShow();
    // Called before the first change the user makes in the editor's cell; false refuses it
    // (with a beep) and is asked again at the next attempt.
    virtual bool CanEditModify();
    // Whether a typed character may open the editor / reach it.
    virtual bool CanEditAcceptKey(Char key);
    virtual TInplaceEdit* CreateEditor();
    virtual String GetEditText(Integer col, Integer row);
    // The editor's text of a cell, on every change and when the editor closes.
    virtual void SetEditText(Integer col, Integer row, const String& value);
    // MaxLength of the editor (0: none).
    virtual Integer GetEditLimit();
    virtual String GetEditMask(Integer col, Integer row);

    // --- notifications ----------------------------------------------------------------------
    virtual void ColWidthsChanged();
    virtual void RowHeightsChanged();
    virtual void TopLeftChanged();
    // The current cell may move to (col, row); the base asks OnSelectCell.
    virtual bool SelectCell(Integer col, Integer row);
    virtual void ColumnMoved(Integer fromIndex, Integer toIndex);
    virtual void RowMoved(Integer fromIndex, Integer toIndex);
    // Runs while a selection or move drag is held outside the cells: scrolls one cell in
    // each direction (and, while selecting, extends the selection to the new edge).
    virtual void TimedScroll(TGridScrollDirections direction);

    // --- input ------------------------------------------------------------------------------
    // Keys: arrows (Left and Right swapped when mirrored: Left moves to the next column),
    // PgUp/PgDn, Home/End (Ctrl: first/last row too), Ctrl+Left/Right by a page, Shift extends the range
    // (goRangeSelect), Tab/Shift+Tab with goTabs, F2 opens the editor, Escape closes it restoring the text;
    // Enter toggles it and typing opens it with the typed character (goEditing). Left press: sizing border ->
    // sizing; fixed-row cell (goColMoving) / fixed-column cell (goRowMoving) -> moving; the current cell with
    // goEditing -> editor; another scrolling cell -> current cell and selecting (Shift
    // extends). A double click on the current cell opens the editor.
    void KeyDown(Word& key, TShiftState shift) override;
    void KeyPress(Char& key) override;
    void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
    void MouseMove(TShiftState shift, Integer x, Integer y) override;
    void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
    // Unhandled by OnMouseWheel: three rows per notch (columns with Shift). A horizontal
    // wheel (WM_MOUSEHWHEEL) scrolls three columns per notch the way it points on screen.
    bool DoMouseWheel(TShiftState shift, Integer wheelDelta, TPoint mousePos) override;
    // Leaving the grid ends hot tracking.
    void MouseLeave() override;

    // --- window -------------------------------------------------------------------------------
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void WndProc(TMessage& message) override;
    void BoundsChanged(bool sized) override;
    void FontChanged() override;
    // Mirrors or unmirrors the grid: layout, horizontal scroll bar, editor and paint.
    void BiDiModeChanged() override;

    // --- helpers for descendants ----------------------------------------------------------------
    // Scroll range and position of both bars from the counts, sizes and ScrollBars.
    void UpdateScrollRange();
    void UpdateScrollPos();
    // The editor shows/hides/moves as EditorMode and the current cell say.
    void UpdateEdit();
    void HideEdit();
    // Writes the editor's text to its cell through SetEditText.
    void UpdateText();
    // Whether a press at (x, y) would start sizing a column or row (CalcSizingState).
    bool Sizing(Integer x, Integer y);
    // Scrolls so that the cell is fully visible when it can be.
    void ClampInView(TGridCoord cell);
    // The smallest top-left that still shows coord fully (with coord the last cells: the
    // largest top-left that fills the view).
    TGridCoord CalcMaxTopLeft(TGridCoord coord, const TGridDrawInfo& info);
    void MoveTopLeft(Integer left, Integer top);
    // Between client x and leading-edge distance (the same both ways; identity unless
    // IsRightToLeft). MirrorX maps a pixel, MirrorRect a rectangle.
    Integer MirrorX(Integer x) const;
    TRect MirrorRect(const TRect& r) const;

    // WM_TIMER id of the drag scrolling on the grid's window (descendants use others).
    static constexpr UINT ScrollTimerId = 0x4752;

    TGridCoord FCurrent{1, 1};
    TGridCoord FAnchor{1, 1};
    TGridCoord FTopLeft{1, 1};
    TGridState FGridState = gsNormal;
    TInplaceEdit* FInplaceEdit = nullptr;
    Integer FInplaceCol = -1;
    Integer FInplaceRow = -1;

private:
    // Per-operation scratch of a mouse gesture (sizing, moving, selecting). Column sizing
    // positions are leading-edge distances.
    struct TDragState {
        Integer Index = -1;      // sized column/row, moved origin
        Integer SizingPos = 0;   // where the sizing line is now
        Integer SizingOfs = 0;   // border minus press point
        Integer SizingStart = 0; // first pixel of the sized cell
        Integer MovePos = -1;    // destination of a move
        bool ShowMarker = false;
        TPoint LastPoint;
        bool TimerRunning = false;
    };

    // Hot and pressed fixed cells (goFixedHotTrack); -1: none.
    struct THotState {
        TGridCoord Hot{-1, -1};
        TGridCoord Pressed{-1, -1};
        bool PressedShows = false; // the mouse is over the pressed cell
    };

    void CheckCoord(Integer col, Integer row) const;
    // Debug only (inside asserts): positions inside the counts, sizes per index, editor cell.
    bool CheckInvariants() const;
    void ChangeSize(Integer newColCount, Integer newRowCount);
    void ClampCurrent();
    void MoveCurrent(Integer col, Integer row, bool moveAnchor, bool show);
    void CancelGesture();
    void UpdateMoveTarget(Integer at);
    void InvalidateSelectionChange(const TGridRect& oldSel, TGridCoord oldCurrent);
    void TopLeftMoved(TGridCoord oldTopLeft);
    Integer PixelsBetween(const TGridAxisDrawInfo& axis, Integer from, Integer to) const;
    TGridCoord MaxTopLeft();
    void ModifyScrollBar(Integer bar, Word code, Integer pos);
    // The horizontal bar's position for a left column and back (counted from the right in a
    // mirrored grid).
    Integer HorzBarPos(Integer pos, Integer maxLeft) const;
    void ScrollColumnsByWheel(Integer wheelDelta);
    bool IsFixedCell(TGridCoord cell) const;
    void TrackHot(Integer x, Integer y);
    void SetHotCell(TGridCoord cell);
    void SetPressedShows(bool value);
    void EndHotTracking();
    void DrawLines(const TGridDrawInfo& info, const TRect& clip);
    void DrawMarkers(const TGridDrawInfo& info);
    TRect SizingLineRect(Integer pos) const;
    TRect MoveMarkerRect(const TGridDrawInfo& info, Integer index) const;
    void StartTimedScroll();
    void StopTimedScroll();
    TGridScrollDirections ScrollDirections(TPoint p);
    void TimerTick();
    void ShowEditorChar(Char ch);
    void CancelEdit();
    void TakeFocusFromEditor();
    bool UpdatingScrollBars() const { return FUpdatingScrollBars > 0; }

    Integer FColCount = 5;
    Integer FRowCount = 5;
    Integer FFixedCols = 1;
    Integer FFixedRows = 1;
    Integer FDefaultColWidth = 64;
    Integer FDefaultRowHeight = 24;
    Integer FGridLineWidth = 1;
    std::vector<Integer> FColWidths; // empty: all DefaultColWidth
    std::vector<Integer> FRowHeights;
    TGridOptions FOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect};
    TScrollStyle FScrollBars = ssBoth;
    TColor FFixedColor = clBtnFace;
    TBorderStyle FBorderStyle = bsSingle;
    bool FDefaultDrawing = true;
    bool FEditorMode = false;
    bool FCanEditModify = false; // CanEditModify answered true for the open editor
    bool FTakingFocus = false;   // the grid takes the focus from its editor
    String FEditOriginal;        // the text the editor opened with (Escape restores it)
    TDragState FDrag;
    THotState FHot;
    Integer FUpdatingScrollBars = 0;
    Integer FThumbTrackPos = -1; // full position of the thumb being dragged
};

// [SECTION] TInplaceEdit
// The single-line editor a grid places over its current cell (a child window of the grid,
// without a border). It sends the grid the keys that move between cells (Up, Down, PgUp,
// PgDn, Tab, Escape; Enter as a character; Left, Right, Home and End at the text's ends with
// goAlwaysShowEditor), asks the grid's CanEditModify once before the user's first change
// and CanEditAcceptKey for each typed character, and hands every change of its text to the
// grid's SetEditText.
class TInplaceEdit : public TCustomMaskEdit {
public:
    explicit TInplaceEdit(TComponent* owner);
    ~TInplaceEdit() override;

    TCustomGrid* Grid() const { return FGrid; }
    // Text, mask and limit of the grid's current cell (GetEditText/GetEditMask/GetEditLimit).
    // Loading them does not count as a change.
    virtual void UpdateContents();
    // Places the editor over a cell rectangle (grid client coordinates) and shows it.
    void Move(const TRect& loc);
    // Hides the editor (it keeps its window and text).
    void Hide();
    // Collapses the selection to the text's end.
    void Deselect();
    // Move, then take the focus.
    void SetFocusAt(const TRect& loc);

    void WndProc(TMessage& message) override;

protected:
    friend class TCustomGrid;
    void SetGrid(TCustomGrid* grid);
    void KeyDown(Word& key, TShiftState shift) override;
    void KeyPress(Char& key) override;
    void Change() override;
    // Editing primitives: each first makes sure the grid allows a change.
    void TypeCodePoint(const String& chars) override;
    void DeleteBackward(bool word) override;
    void DeleteForward(bool word) override;
    void InsertText(const String& text, bool limit) override;
    void EraseSelection() override;
    // Follows the grid's direction (ParentBiDiMode): right-aligned text when mirrored.
    void BiDiModeChanged() override;
    // Whether the user may change the text now: asks the grid once per cell.
    bool EditCanModify();

private:
    TCustomGrid* FGrid = nullptr;
    bool FLoading = false; // UpdateContents is filling the editor
};

} // namespace mv
