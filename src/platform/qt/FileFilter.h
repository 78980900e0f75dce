#pragma once

#include <QString>

#include <string_view>

namespace quillory {

// A dialog filter list written as label|pattern pairs ("Text File|*.txt|Anything|*.*") in the form
// QFileDialog takes ("Text File (*.txt);;Anything (*)"). Patterns may list several, separated by
// ";"; "*.*" stands for every file, also those without a dot. A label without a pattern is dropped.
[[nodiscard]] QString qtFileFilter(std::u16string_view pairs);

// The extension a file saved under the Qt filter `filter` ("Rich Text File (*.rtf)") takes when its
// name has none: its first pattern's; empty for a filter of every file ("(*)").
[[nodiscard]] QString suffixOfFilter(const QString& filter);

} // namespace quillory
