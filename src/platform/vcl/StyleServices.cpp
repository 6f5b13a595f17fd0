// The system colour table and the style services over it.
#include "platform/vcl/StyleServices.h"

#include "platform/vcl/Graphics.h"

#include <array>

namespace mv {

namespace {

// The classic scheme, so pictures match what users of the framework know.
std::array<TColorRef, COLOR_ENDCOLORS + 1>& SysColorTable() {
    static std::array<TColorRef, COLOR_ENDCOLORS + 1> table = {
        RGB(200, 200, 200), // COLOR_SCROLLBAR
        RGB(0, 0, 0),       // COLOR_BACKGROUND
        RGB(153, 180, 209), // COLOR_ACTIVECAPTION
        RGB(191, 205, 219), // COLOR_INACTIVECAPTION
        RGB(240, 240, 240), // COLOR_MENU
        RGB(255, 255, 255), // COLOR_WINDOW
        RGB(100, 100, 100), // COLOR_WINDOWFRAME
        RGB(0, 0, 0),       // COLOR_MENUTEXT
        RGB(0, 0, 0),       // COLOR_WINDOWTEXT
        RGB(0, 0, 0),       // COLOR_CAPTIONTEXT
        RGB(180, 180, 180), // COLOR_ACTIVEBORDER
        RGB(244, 247, 252), // COLOR_INACTIVEBORDER
        RGB(171, 171, 171), // COLOR_APPWORKSPACE
        RGB(0, 120, 215),   // COLOR_HIGHLIGHT
        RGB(255, 255, 255), // COLOR_HIGHLIGHTTEXT
        RGB(240, 240, 240), // COLOR_BTNFACE
        RGB(160, 160, 160), // COLOR_BTNSHADOW
        RGB(109, 109, 109), // COLOR_GRAYTEXT
        RGB(0, 0, 0),       // COLOR_BTNTEXT
        RGB(0, 0, 0),       // COLOR_INACTIVECAPTIONTEXT
        RGB(255, 255, 255), // COLOR_BTNHIGHLIGHT
        RGB(105, 105, 105), // COLOR_3DDKSHADOW
        RGB(227, 227, 227), // COLOR_3DLIGHT
        RGB(0, 0, 0),       // COLOR_INFOTEXT
        RGB(255, 255, 225), // COLOR_INFOBK
        RGB(0, 0, 0),       // 25: unused
        RGB(0, 102, 204),   // COLOR_HOTLIGHT
        RGB(185, 209, 234), // COLOR_GRADIENTACTIVECAPTION
        RGB(215, 228, 242), // COLOR_GRADIENTINACTIVECAPTION
        RGB(0, 120, 215),   // COLOR_MENUHILIGHT
        RGB(240, 240, 240), // COLOR_MENUBAR
    };
    return table;
}

} // namespace

TColorRef GetSysColor(Integer index) {
    if (index < 0 || index > COLOR_ENDCOLORS) return 0;
    return SysColorTable()[static_cast<size_t>(index)];
}

void SetSysColor(Integer index, TColorRef value) {
    if (index < 0 || index > COLOR_ENDCOLORS) return;
    SysColorTable()[static_cast<size_t>(index)] = value & 0xFFFFFF;
}

TColor TCustomStyleServices::GetSystemColor(TColor color) const {
    if (!IsSystemColor(color)) return color;
    return static_cast<TColor>(GetSysColor(color & 0xFF));
}

TCustomStyleServices& StyleServices() {
    static TCustomStyleServices services;
    return services;
}

TColorRef ColorToRGB(TColor color) {
    if (IsSystemColor(color)) return GetSysColor(color & 0xFF);
    if (color == clNone || color == clDefault) return 0;
    return static_cast<TColorRef>(color) & 0xFFFFFF;
}

} // namespace mv
