// The library's bitmap resources: images made by code and registered by name, so that
// TBitmap::LoadFromResourceName finds them as the framework finds linked-in resources.
// The registry is built on first use; each image is drawn the first time it is asked for.
#pragma once

#include "platform/vcl/Bitmap.h"

#include <functional>

namespace mv {

using TBitmapMaker = std::function<void(TBitmap& bitmap)>;

// Registers (or replaces) the maker of the resource name (compared without case).
void RegisterBitmapResource(const String& name, TBitmapMaker maker);
// The resource's bitmap, made on first request and kept; nullptr for an unknown name.
const TBitmap* FindBitmapResource(const String& name);
// The names registered, in registration order (the built-in ones first).
std::vector<String> BitmapResourceNames();

} // namespace mv
