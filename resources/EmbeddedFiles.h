#pragma once

#include <QString>

namespace u830::resources {

// Qt resource path of an embedded data file, e.g. "MengHu" -> ":/FILE/MENGHU".
// The files are stored under upper-case names, so the lookup ignores the case of
// a-z; other characters are kept, so such a name simply finds nothing. An empty
// name or one holding a path separator gives an empty path, which opens nothing.
QString embeddedFilePath(const QString& name);

// Qt resource path of the generate buttons' glyph (32 x 16, two images).
inline constexpr const char* kArrowGlyphPath = ":/glyph/arrow.bmp";

}  // namespace u830::resources
