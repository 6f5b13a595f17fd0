// A plain grid that records what the base class asks of it, on a form of the headless
// host; shared by the grid tests.
#pragma once

#include "platform/host/HeadlessHost.h"
#include "platform/rtl/StrUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Grids.h"

#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <utility>
#include <vector>

namespace mv::test {

// Cells hold text ("c,r" until edited); every hook call is logged.
class TTestGrid : public TCustomGrid {
public:
    using TCustomGrid::TCustomGrid;

    struct TDrawn {
        Integer Col, Row;
        TRect Rect;
        TGridDrawState State;
    };
    std::vector<TDrawn> Drawn;
    std::map<std::pair<Integer, Integer>, String> Cells;
    std::vector<std::pair<TGridCoord, String>> EditTexts; // SetEditText calls
    std::vector<std::pair<Integer, Integer>> ColumnMoves, RowMoves;
    Integer ColWidthsChanges = 0, RowHeightsChanges = 0, TopLeftChanges = 0;
    String Mask;
    bool AllowModify = true;
    bool AllowColumnDrop = true;
    Integer ModifyQuestions = 0;

    String CellText(Integer col, Integer row) const {
        auto it = Cells.find({col, row});
        return it != Cells.end() ? it->second : IntToStr(col) + u"," + IntToStr(row);
    }
    // Drawn cells of one row.
    Integer DrawnInRow(Integer row) const {
        Integer n = 0;
        for (const TDrawn& d : Drawn)
            n += d.Row == row;
        return n;
    }

    using TCustomGrid::CalcSizingState;
    using TCustomGrid::FInplaceCol;
    using TCustomGrid::FInplaceRow;
    using TCustomGrid::Sizing;

protected:
    void DrawCell(Integer col, Integer row, const TRect& rect, TGridDrawState state) override {
        Drawn.push_back({col, row, rect, state});
        TRect r = rect;
        InflateRect(r, -2, 0);
        Canvas()->Brush()->SetStyle(bsClear);
        DrawText(Canvas()->Handle(), CellText(col, row), r,
                 DrawTextBiDiModeFlags(DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX));
    }
    String GetEditText(Integer col, Integer row) override { return CellText(col, row); }
    void SetEditText(Integer col, Integer row, const String& value) override {
        EditTexts.push_back({{col, row}, value});
        Cells[{col, row}] = value;
    }
    String GetEditMask(Integer, Integer) override { return Mask; }
    bool CanEditModify() override {
        ++ModifyQuestions;
        return AllowModify;
    }
    void ColWidthsChanged() override {
        ++ColWidthsChanges;
        TCustomGrid::ColWidthsChanged();
    }
    void RowHeightsChanged() override {
        ++RowHeightsChanges;
        TCustomGrid::RowHeightsChanged();
    }
    void TopLeftChanged() override {
        ++TopLeftChanges;
        TCustomGrid::TopLeftChanged();
    }
    void ColumnMoved(Integer fromIndex, Integer toIndex) override {
        ColumnMoves.push_back({fromIndex, toIndex});
        TCustomGrid::ColumnMoved(fromIndex, toIndex);
    }
    void RowMoved(Integer fromIndex, Integer toIndex) override {
        RowMoves.push_back({fromIndex, toIndex});
        TCustomGrid::RowMoved(fromIndex, toIndex);
    }
    bool EndColumnDrag(Integer& origin, Integer& destination, const TPoint& mousePt) override {
        return AllowColumnDrop && TCustomGrid::EndColumnDrag(origin, destination, mousePt);
    }
};

struct GridFixture : ::testing::Test {
    THeadlessHost Host;
    TForm* Form = nullptr;
    TTestGrid* Grid = nullptr;

    void SetUp() override {
        InstallHost(&Host);
        Form = new TForm(nullptr);
        Form->SetBounds(50, 50, 640, 480);
        Form->Show();
        Grid = new TTestGrid(Form);
        Grid->SetBorderStyle(bsNone);
        Grid->SetBounds(10, 10, 400, 300);
        Grid->SetColCount(10);
        Grid->SetRowCount(30);
        Grid->SetParent(Form);
        Grid->SetFocus();
        Application->ProcessMessages();
        Grid->Drawn.clear();
    }
    void TearDown() override {
        delete Form;
        InstallHost(nullptr);
    }
    // Runs the pending messages (and paints), then returns the DrawCell calls they caused.
    std::vector<TTestGrid::TDrawn> Repaint() {
        Grid->Drawn.clear();
        Application->ProcessMessages();
        return Grid->Drawn;
    }
    // The grid's client pixels, row by row.
    std::vector<std::uint32_t> ClientPixels() {
        std::vector<std::uint32_t> pixels;
        for (Integer y = 0; y < Grid->ClientHeight(); ++y)
            for (Integer x = 0; x < Grid->ClientWidth(); ++x)
                pixels.push_back(Host.PixelAt(Grid, x, y));
        return pixels;
    }
};

// A colour as the host's pixels hold it (0xRRGGBB).
inline std::uint32_t Rgb(TColor c) {
    const TColorRef r = ColorToRGB(c);
    return (static_cast<std::uint32_t>(GetRValue(r)) << 16) |
           (static_cast<std::uint32_t>(GetGValue(r)) << 8) | GetBValue(r);
}

} // namespace mv::test

namespace mv {
// Readable failures (gtest finds these by argument-dependent lookup).
inline std::ostream& operator<<(std::ostream& os, const TGridCoord& c) {
    return os << "(" << c.X << "," << c.Y << ")";
}
inline std::ostream& operator<<(std::ostream& os, const TRect& r) {
    return os << "[" << r.Left << "," << r.Top << "," << r.Right << "," << r.Bottom << ")";
}
} // namespace mv
