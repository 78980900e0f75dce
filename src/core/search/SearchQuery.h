#pragma once

#include <string>
#include <string_view>
#include <vector>

// What the user types into the search field, as the full-text index is asked it.
namespace quillory::search {

// The words of `typed`, in order: runs of letters and digits of any script (the index's own
// tokenizer folds their case and accents). Punctuation, symbols and blanks separate them.
[[nodiscard]] std::vector<std::u16string> QueryWords(std::u16string_view typed);

// An FTS5 query matching the pages that hold every word of `typed`, the last one as the start of
// a word, as UTF-8; empty when `typed` has no word. Each word is quoted, so nothing typed is read
// as the query language's own syntax (AND, OR, NEAR, a column filter, a quote).
[[nodiscard]] std::string MatchExpression(std::u16string_view typed);

} // namespace quillory::search
