// TShape: a windowless control that draws a rectangle, square, rounded rectangle or
// square, ellipse or circle with its Pen and Brush. Squares and circles take the smaller
// side and are centred.
#pragma once

#include "platform/vcl/Controls.h"

#include <memory>

namespace mv {

enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };

class TShape : public TGraphicControl {
public:
    explicit TShape(TComponent* owner);
    ~TShape() override;

    TShapeType Shape() const { return FShape; }
    void SetShape(TShapeType value);
    // The outline: colour, width (drawn inside the bounds) and style (psClear: none).
    // Changing the pen or the brush repaints the shape.
    TPen* Pen() const { return FPen.get(); }
    void SetPen(const TPen* value) { FPen->Assign(value); }
    // The fill (bsClear: the parent shows through).
    TBrush* Brush() const { return FBrush.get(); }
    void SetBrush(const TBrush* value) { FBrush->Assign(value); }

    // The rectangle the shape's outline follows (client coordinates).
    TRect ShapeRect() const;

protected:
    void Paint() override;

private:
    TShapeType FShape = stRectangle;
    std::unique_ptr<TPen> FPen;
    std::unique_ptr<TBrush> FBrush;
};

} // namespace mv
