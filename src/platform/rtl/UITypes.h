// Small UI vocabulary shared by the data-access layer and the controls layer, so that a
// field's alignment and a control's alignment are one type without db including vcl.
#pragma once

namespace mv {

// Horizontal alignment of a text (a field's display text, a column, a caption).
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

} // namespace mv
