#include "ui/form/FormatToolbar.h"

#include <gtest/gtest.h>

// The formatting toolbar's choices, without a window.
namespace quillory {
namespace {

TEST(FormatToolbar, TheFontBoxListsEachFamilyOnceAndFindsItWithoutRegardToCase)
{
    FormatToolbar toolbar;
    toolbar.setFamilies({u"Noto Sans", u"DejaVu Sans [Foundry]", u"dejavu sans", u"Arial"});
    EXPECT_EQ(toolbar.fontNames(), (std::vector<std::u16string>{u"Arial", u"Default", u"DejaVu Sans", u"Noto Sans"}));
    EXPECT_EQ(toolbar.fontRow(u"noto sans"), 3);
    EXPECT_EQ(toolbar.fontRow(u"DEFAULT"), 1);
    EXPECT_EQ(toolbar.fontRow(u"Times"), -1);
    EXPECT_EQ(toolbar.fontRow(u"Zapf"), -1); // past the last name
}

TEST(FormatToolbar, SwatchesAndSizes)
{
    EXPECT_EQ(FormatToolbar::swatchRow(0x0000FF), 9);
    EXPECT_EQ(FormatToolbar::swatchRow(0x80000005), 0); // a system colour shows as black
    EXPECT_EQ(FormatToolbar::swatchRow(0x123456), -1);
    const std::pair<std::u16string_view, int> sizes[] = {
        {u"12", 12}, {u"12pt", 12}, {u"3", 4}, {u"", 4}, {u"x", 4}, {u"501", 500}, {u"99999999999", 500}};
    for (const auto& [typed, size] : sizes)
        EXPECT_EQ(FormatToolbar::enteredSize(typed), size) << std::string(typed.begin(), typed.end());
}

} // namespace
} // namespace quillory
