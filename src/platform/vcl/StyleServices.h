// Style services: the system colour table and the questions painting code asks about the
// active style. No custom style is ever active here; the system colours are the classic
// light scheme, held in one table that ColorToRGB and GetSystemColor read.
#pragma once

#include "platform/vcl/Types.h"

namespace mv {

// The RGB value ($00BBGGRR) of system colour index (COLOR_*); black for unknown indexes.
TColorRef GetSysColor(Integer index);
// Replaces one entry of the table (a test or an application picking a scheme).
void SetSysColor(Integer index, TColorRef value);

class TCustomStyleServices {
public:
    // Whether the platform's themed elements are drawn (they are: the flat look is the theme).
    bool Enabled() const { return true; }
    // A system colour resolved through the table; plain colours are returned as given.
    TColor GetSystemColor(TColor color) const;
    // With no custom style active this is GetSystemColor.
    TColor GetStyleColor(TColor color) const { return GetSystemColor(color); }
    TColor GetStyleFontColor(TColor color) const { return GetSystemColor(color); }
    bool IsSystemStyle() const { return true; }
    String Name() const { return u"Windows"; }
};

TCustomStyleServices& StyleServices();

class TStyleManager {
public:
    static bool IsCustomStyleActive() { return false; }
    static TCustomStyleServices& ActiveStyle() { return StyleServices(); }
};

} // namespace mv
