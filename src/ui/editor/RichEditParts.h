#pragma once

#include <optional>

#include <QTextFormat>

#include "core/rtf/Document.h"

class QTextDocument;
class QTextImageFormat;
class QTextListFormat;
class QTextTableCellFormat;

// What the editor adapter (RichEdit*.cpp) keeps in Qt's text formats so that a page comes back
// from the editor as it went in: the page's own values ride along as format properties. Not part
// of the adapter's interface (RichEdit.h).
namespace quillory::richedit::detail {

enum Property : int {
    kHiddenText = QTextFormat::UserProperty + 0x51, // QString: the text a hidden run holds
    kNoteNumber,                                    // int: the note a reference or label shows
    kNotesFrame,                                    // bool: the frame at the end holding the notes
    kNoteIndex,                                     // int: the note a block of that frame belongs to
    kNoteRule,                                      // bool: the rule at the top of the notes
    kEndnote,                                       // bool: on a note's blocks
    kCellRight,                                     // int: twips
    kCellBorders,                                   // bool
    kListId,                                        // int: lists of one id are one list of the page
    kListLevel,                                     // int
    kListLevels,  // QString: the list's levels, "kind:start" or "kind:start:bullet" by ","
    kPictureKind, // int: rtf::PictureKind
    kPictureParam,
    kPictureWidth,
    kPictureHeight,
    kPictureGoalWidth,
    kPictureGoalHeight,
    kPictureScaleX,
    kPictureScaleY,
    kPictureData, // QByteArray: the picture's bytes as they came
    kFiller,      // bool: a block Qt wants before or after a table or frame, which is no paragraph
    kListBullet,  // QString: the bullet of a list level Qt has no style for, drawn by the editor
};

// Objects of text that Qt has no format for; the handler (PageObjects) draws them.
enum ObjectType : int {
    kHiddenObject = QTextFormat::UserObject + 0x51, // a hidden run: takes no room, shows nothing
    kNoteReference,                                 // a note's number where it is referred to
    kNoteLabel,                                     // the same number before the note's text
};

// Lets `document`'s layout draw the page's own objects; once per document, idempotent.
void registerObjects(QTextDocument& document);

// A picture as an image of the document: shown at its size, PNG and JPEG decoded, other kinds as a
// box; the picture rides along in the format. The image is added to `document`'s resources.
[[nodiscard]] QTextImageFormat pictureFormat(const rtf::Picture& picture, QTextDocument& document);
// The picture an image stands for: the one it was made from, or (an image pasted from elsewhere)
// its resource in `document` as PNG; nullopt when there is neither.
[[nodiscard]] std::optional<rtf::Picture> pictureOf(const QTextImageFormat& format, const QTextDocument* document);

// The list format of a level of a page's list (`id` tells lists apart), and back.
[[nodiscard]] QTextListFormat listLevelFormat(const rtf::List& list, std::size_t level, int id);
[[nodiscard]] std::optional<rtf::List> listOf(const QTextListFormat& format);

} // namespace quillory::richedit::detail
