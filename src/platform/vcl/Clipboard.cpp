// TClipboard over the host's clipboard text (see Clipbrd.h for the no-host behaviour).
#include "platform/vcl/Clipbrd.h"

#include "platform/vcl/Host.h"

namespace mv {

String TClipboard::AsText() const {
    THost* host = CurrentHost();
    return host ? host->ClipboardText() : String();
}

void TClipboard::SetAsText(const String& value) {
    if (THost* host = CurrentHost()) host->SetClipboardText(value);
}

bool TClipboard::HasFormat(Word format) const {
    if (format != CF_TEXT && format != CF_UNICODETEXT) return false;
    THost* host = CurrentHost();
    return host && host->HasClipboardText();
}

void TClipboard::Clear() {
    SetAsText(String());
}

TClipboard& Clipboard() {
    static TClipboard clipboard;
    return clipboard;
}

} // namespace mv
