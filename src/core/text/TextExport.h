#pragma once

#include <filesystem>
#include <span>
#include <string>

// Pages written out as files of their own.
namespace quillory {

// Lines as a text file: UTF-8 without a byte-order mark, CR LF after every line, the last one too.
[[nodiscard]] std::string PlainTextFile(std::span<const std::u16string> lines);

// Whether a page exported as `file` is written as RTF: when the text after the last "." of its
// name is "rtf", ASCII letters in either case. Every other name gets plain text.
[[nodiscard]] bool ExportsAsRtf(const std::filesystem::path& file);

} // namespace quillory
