// The clipboard as the framework offers it: Clipboard().AsText, reaching the machine's
// clipboard through the installed host (CurrentHost()->ClipboardText/SetClipboardText).
//
// Without a host (a program that installed none, or after InstallHost(nullptr)) the
// clipboard is empty and stays empty: AsText is "", SetAsText and Clear do nothing and
// HasFormat answers false. Nothing is kept aside for a host installed later.
#pragma once

#include "platform/vcl/Messages.h"

namespace mv {

// Clipboard formats with the framework's numbers; only text is carried.
constexpr Word CF_TEXT = 1;
constexpr Word CF_UNICODETEXT = 13;

class TClipboard {
public:
    String AsText() const;
    void SetAsText(const String& value);
    // CF_TEXT and CF_UNICODETEXT: whether there is text; other formats: false.
    bool HasFormat(Word format) const;
    // Empties the clipboard.
    void Clear();
    // The framework brackets several writes with Open/Close; one text write needs no
    // bracket here, so these only count nesting.
    void Open() { ++FOpenCount; }
    void Close() {
        if (FOpenCount > 0) --FOpenCount;
    }

private:
    Integer FOpenCount = 0;
};

// The process's clipboard object, made on first use.
TClipboard& Clipboard();

} // namespace mv
