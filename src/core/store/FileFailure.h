#pragma once

#include <string>
#include <system_error>

namespace quillory::store {

// A file operation that did not happen: the item's name (empty when the folder itself failed)
// and the system's reason.
struct FileFailure {
    std::u16string name;
    std::error_code error;

    friend bool operator==(const FileFailure&, const FileFailure&) = default;
};

} // namespace quillory::store
