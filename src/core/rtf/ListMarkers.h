#pragma once

#include "core/rtf/Document.h"

#include <string>
#include <vector>

// The markers that lists show before their items, counted as word processors count them.
namespace quillory::rtf {

// The marker of `number` in a numbering kind: "3.", "c.", "C.", "iii.", "III.", "•"; "" for None.
// Letters go on as "aa.", "bb." after "z."; a number below 1 is written in digits.
[[nodiscard]] std::u16string MarkerText(ListKind kind, int number);

struct ListItem {
    ListKind kind = ListKind::None; // None outside lists
    int number = 0;
    char16_t bullet = kDefaultBullet; // of a Bullet item
};

// The item's marker: MarkerText, with its own bullet for a Bullet item.
[[nodiscard]] std::u16string MarkerText(const ListItem& item);

// What each paragraph shows as a list item. A list item counts on from the last item of its
// list at its level, starting at the level's start number, and restarts the deeper levels; an item
// of a list of its own (Paragraph::list 0) that is numbered counts on from the paragraph before when
// that one is numbered too, else starts at 1. List references outside `lists` count as no list.
[[nodiscard]] std::vector<ListItem> ListItems(const std::vector<Paragraph>& paragraphs, const std::vector<List>& lists);

// The marker of each paragraph's list item ("" outside lists).
[[nodiscard]] std::vector<std::u16string> ListMarkers(const std::vector<Paragraph>& paragraphs,
                                                      const std::vector<List>& lists);

} // namespace quillory::rtf
