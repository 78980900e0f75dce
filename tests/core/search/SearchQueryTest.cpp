#include "core/search/SearchQuery.h"

#include <gtest/gtest.h>

namespace quillory::search {
namespace {

TEST(SearchQuery, EveryWordQuotedAndTheLastAPrefix)
{
    const std::pair<std::u16string_view, std::string_view> cases[] = {
        {u"", ""},
        {u"  ,;  ", ""},
        {u"pay", "\"pay\"*"},
        {u"Invoice  march 20", "\"Invoice\" \"march\" \"20\"*"},
        // The query language's own syntax is only words here.
        {u"a OR b NEAR(c) title:d", "\"a\" \"OR\" \"b\" \"NEAR\" \"c\" \"title\" \"d\"*"},
        {u"\"quoted\" -not *star", "\"quoted\" \"not\" \"star\"*"},
        // Accented and non-Latin letters are letters; the tokenizer folds them.
        {u"Café Straße", "\"Caf\xC3\xA9\" \"Stra\xC3\x9F"
                         "e\"*"},
        {u"日本\u3000語", "\"\xE6\x97\xA5\xE6\x9C\xAC\" \"\xE8\xAA\x9E\"*"},
        {u"don\u2019t stop\u2026", "\"don\" \"t\" \"stop\"*"},
    };
    for (const auto& [typed, expression] : cases)
        EXPECT_EQ(MatchExpression(typed), expression) << std::string(expression);
}

} // namespace
} // namespace quillory::search
