// gridview: a plain grid of 1,000 rows by 50 columns in a real window. The fixed row names
// the columns, the fixed column numbers the rows; cells can be edited (F2, Enter, typing),
// columns and rows sized and moved by their fixed cells, and the view scrolled by keys,
// wheel and both scroll bars.
#include "platform/host/HeadlessHost.h"
#include "platform/host/SdlHost.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/Utf8.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Grids.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <map>
#include <numeric>
#include <string>
#include <vector>

using namespace mv;

namespace {

// A grid whose cells show their column letter and row number until edited. Moving a
// column or row moves its contents (the maps are keyed by the original indexes).
class TNumberGrid : public TCustomGrid {
public:
    explicit TNumberGrid(TComponent* owner) : TCustomGrid(owner) {
        SetColCount(51);
        SetRowCount(1001);
        SetDefaultColWidth(72);
        SetDefaultRowHeight(22);
        SetColWidths(0, 56);
        FColOrder.resize(static_cast<size_t>(ColCount()));
        FRowOrder.resize(static_cast<size_t>(RowCount()));
        std::iota(FColOrder.begin(), FColOrder.end(), 0);
        std::iota(FRowOrder.begin(), FRowOrder.end(), 0);
        SetOptions(Options() + goColSizing + goRowSizing + goColMoving + goRowMoving + goEditing + goTabs +
                   goThumbTracking);
    }

protected:
    void DrawCell(Integer col, Integer row, const TRect& rect, TGridDrawState state) override {
        (void)state;
        TRect r = rect;
        InflateRect(r, -3, 0);
        Canvas()->Brush()->SetStyle(bsClear);
        const Cardinal align = col == 0 ? DT_RIGHT : row == 0 ? DT_CENTER : DT_LEFT;
        DrawText(Canvas()->Handle(), Text(col, row), r, align | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
    }
    String GetEditText(Integer col, Integer row) override { return Text(col, row); }
    void SetEditText(Integer col, Integer row, const String& value) override {
        FEdited[{FColOrder[static_cast<size_t>(col)], FRowOrder[static_cast<size_t>(row)]}] = value;
        InvalidateCell(col, row);
    }
    void ColumnMoved(Integer fromIndex, Integer toIndex) override {
        MoveEntry(FColOrder, fromIndex, toIndex);
        TCustomGrid::ColumnMoved(fromIndex, toIndex);
    }
    void RowMoved(Integer fromIndex, Integer toIndex) override {
        MoveEntry(FRowOrder, fromIndex, toIndex);
        TCustomGrid::RowMoved(fromIndex, toIndex);
    }

private:
    static void MoveEntry(std::vector<Integer>& order, Integer from, Integer to) {
        const Integer item = order[static_cast<size_t>(from)];
        order.erase(order.begin() + from);
        order.insert(order.begin() + to, item);
    }
    static String ColumnName(Integer index) {
        String name;
        for (Integer n = index; n > 0; n = (n - 1) / 26)
            name.insert(name.begin(), static_cast<Char>(u'A' + (n - 1) % 26));
        return name;
    }
    String Text(Integer col, Integer row) const {
        const Integer c = FColOrder[static_cast<size_t>(col)], r = FRowOrder[static_cast<size_t>(row)];
        if (c == 0 && r == 0) return {};
        if (r == 0) return ColumnName(c);
        if (c == 0) return IntToStr(r);
        if (auto it = FEdited.find({c, r}); it != FEdited.end()) return it->second;
        return ColumnName(c) + IntToStr(r);
    }

    std::vector<Integer> FColOrder, FRowOrder;
    std::map<std::pair<Integer, Integer>, String> FEdited;
};

TForm* CreateMainForm() {
    auto* form = new TForm(nullptr);
    form->SetCaption(u"Grid view - 1,000 x 50 cells");
    form->SetBounds(100, 100, 900, 600);
    auto* grid = new TNumberGrid(form);
    grid->SetAlign(alClient);
    grid->SetParent(form);
    return form;
}

} // namespace

int main(int argc, char** argv) {
    try {
        if (argc == 3 && std::strcmp(argv[1], "--screenshot") == 0) {
            THeadlessHost host;
            InstallHost(&host);
            TForm* form = CreateMainForm();
            form->Show();
            Application->ProcessMessages();
            const bool saved = host.SavePng(host.WindowOf(form), argv[2]);
            delete form;
            InstallHost(nullptr);
            return saved ? 0 : 1;
        }
        TSdlHost host;
        InstallHost(&host);
        TForm* form = CreateMainForm();
        Application->SetMainForm(form);
        form->Show();
        Application->Run();
        delete form;
        InstallHost(nullptr);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "gridview: %s\n", e.what());
        return 1;
    }
}
