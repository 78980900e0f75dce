#include "ui/form/StatusNumbers.h"

#include <gtest/gtest.h>

// The status bar's numbers: an idle tick writes nothing and counts nothing.
namespace quillory {
namespace {

TEST(StatusNumbers, LabelsAreWrittenOnlyWhenANumberOrTheLabelChanged)
{
    QLabel caret;
    StatusNumbers numbers;
    numbers.showCaret(caret, 7);
    EXPECT_EQ(caret.text(), QStringLiteral("7"));
    caret.setText(QStringLiteral("help text")); // something else wrote the label
    numbers.showCaret(caret, 7);
    EXPECT_EQ(caret.text(), QStringLiteral("7"));
}

TEST(StatusNumbers, LinesAreCountedOnlyWhenTheTextOrTheLayoutWidthChanged)
{
    QLabel lines;
    StatusNumbers numbers;
    int counts = 0;
    const auto count = [&] { return ++counts * 10; };
    numbers.showLines(lines, 1, 400, count);
    numbers.showLines(lines, 1, 400, count);
    EXPECT_EQ(counts, 1);
    EXPECT_EQ(lines.text(), QStringLiteral("10"));
    numbers.showLines(lines, 2, 400, count);  // typed
    numbers.showLines(lines, 2, -400, count); // wrapping off
    EXPECT_EQ(counts, 3);
    EXPECT_EQ(lines.text(), QStringLiteral("30"));
}

} // namespace
} // namespace quillory
