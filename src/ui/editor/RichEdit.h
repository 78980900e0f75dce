#pragma once

#include <filesystem>
#include <memory>
#include <system_error>

#include <QByteArray>
#include <QColor>
#include <QMimeData>
#include <QString>
#include <Qt>

#include "core/rtf/Document.h"
#include "core/store/AtomicFile.h"

class QPalette;
class QTextBlock;
class QTextCharFormat;
class QTextCursor;
class QTextDocument;
class QTextEdit;

// The bridge between Qt's text documents and the page model: conversions, page files and
// clipboard data. Conversions walk blocks and fragments, so they stay linear in the page.
namespace quillory::richedit {

// 0x00BBGGRR for a colour; an invalid QColor is the automatic colour.
[[nodiscard]] rtf::Colour colourFromQ(const QColor& colour) noexcept;
// The colour as Qt draws it; system colours (top bit set) come from the palette's matching role.
[[nodiscard]] QColor colourToQ(rtf::Colour colour, const QPalette& palette);
// As above, with the application's palette.
[[nodiscard]] QColor colourToQ(rtf::Colour colour);

// A character format as the page carries it: no foreground is the automatic colour, a weight of
// at least bold is bold, a size in pixels is taken at 96 per inch.
[[nodiscard]] rtf::CharFormat charFormatToModel(const QTextCharFormat& format);
// Sets only what the model names: an empty font, a zero size and the automatic colour leave the
// document's defaults in force.
[[nodiscard]] QTextCharFormat charFormatFromModel(const rtf::CharFormat& format);

// Left, centre, right and justified map both ways; any other Qt alignment reads as Other, and
// Other is shown left aligned.
[[nodiscard]] rtf::Alignment alignmentToModel(Qt::Alignment alignment) noexcept;
[[nodiscard]] Qt::Alignment alignmentFromModel(rtf::Alignment alignment) noexcept;

// A block of a page's list is what its level is; of any other list a bullet in a disc list,
// numbered (Other) in the rest; None outside lists.
[[nodiscard]] rtf::Numbering numberingOf(const QTextBlock& block);
// The bullet the editor draws itself before a block of a page's list, for bullets Qt has no style
// for; empty for every other block.
[[nodiscard]] QString listBullet(const QTextBlock& block);
// Gives every paragraph the cursor's selection touches that numbering, as one list: Bullet a disc
// list, Other a decimal one; None takes the paragraphs out of their lists.
void setNumbering(QTextCursor& cursor, rtf::Numbering numbering);

// The whole document. An empty document is one empty paragraph; line separators become U+000B;
// tables, lists, anchors, hidden text and notes come back as the page's; images that neither came
// from a page nor are held by the document, and other objects, are dropped.
[[nodiscard]] rtf::Document toModel(const QTextDocument& document);
// The selected part of the cursor's document: one paragraph per block the selection touches; a
// selection reaching into a table keeps the table's selected cells.
[[nodiscard]] rtf::Document selectionToModel(const QTextCursor& cursor);
// Replaces the document's content with the page in one step and clears its undo history.
// Text that would start a block inside a run (CR, LF, U+2029) becomes a line break, Qt's frame
// markers U+FDD0 and U+FDD1 become U+FFFD. Tables become QTextTable, lists QTextList, links
// anchors, pictures images (PNG and JPEG shown, other kinds a box of their size), hidden text takes
// no room, and the notes follow the page under a rule.
void fromModel(QTextDocument& document, const rtf::Document& page);
// Inserts the page at the cursor, replacing its selection, as a paste does (one undo step); its notes
// are added to the document's.
void insertModel(QTextCursor& cursor, const rtf::Document& page);

// The page as plain text for the clipboard and text files (rtf::ExportText): list markers, table
// cells separated by tabs, one row a line, the notes after the page. Lines end in "\n".
[[nodiscard]] std::u16string pageText(const QTextDocument& document);

// The character format at the caret with the document's default font and size filled in, as the
// formatting toolbar shows it.
[[nodiscard]] rtf::CharFormat caretFormat(const QTextEdit& editor);

// Reads a page file (RTF, or plain text in any encoding the decoder knows) into the editor, caret at
// the start, unmodified, without undo history. On failure the editor is untouched and the result
// carries the system's reason.
[[nodiscard]] std::error_code loadPage(QTextEdit& editor, const std::filesystem::path& file);
// Writes the editor's page as RTF, replacing the file atomically. The result carries the system's
// reason on failure, and the old file is then left as it was.
[[nodiscard]] std::error_code savePage(const QTextEdit& editor, const std::filesystem::path& file,
                                       store::Flush flush = store::Flush::ToDisk);

// A copy of the document to print, with the page's own objects drawn as on the screen; it belongs
// to no thread's widgets, so a print job may lay it out on a thread of its own.
[[nodiscard]] std::unique_ptr<QTextDocument> printCopy(const QTextDocument& document);

// Clipboard data for a page: text/rtf and application/rtf (our writer), text/html, text/plain.
[[nodiscard]] std::unique_ptr<QMimeData> mimeDataFor(const rtf::Document& page);
// The same for the cursor's selection, with Qt's HTML of the selected fragment.
[[nodiscard]] std::unique_ptr<QMimeData> selectionMimeData(const QTextCursor& cursor);
// The whole document.
[[nodiscard]] std::unique_ptr<QMimeData> documentMimeData(const QTextDocument& document);
// The RTF a clipboard entry carries, under either of its MIME names; empty when it has none.
[[nodiscard]] QByteArray rtfFromMimeData(const QMimeData& data);

} // namespace quillory::richedit
