#include "search/IndexWorker.h"
#include "search/PageIndex.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

namespace quillory::search {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class PageIndexTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_root = fs::temp_directory_path() / ("quillory-index-" + std::to_string(::getpid()) + "-" +
                                              ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_root);
        fs::create_directories(folder());
    }
    void TearDown() override { fs::remove_all(m_root); }

    [[nodiscard]] fs::path folder() const { return m_root / "Notes.qlyp.dir"; }
    [[nodiscard]] fs::path cache() const { return m_root / "cache" / "index.sqlite"; }
    void write(const std::string& name, const std::string& text) const
    {
        std::ofstream(folder() / name, std::ios::binary) << "{\\rtf1\\ansi " << text << "\\par}";
    }
    [[nodiscard]] std::unique_ptr<PageIndex> open() const
    {
        std::string why;
        auto index = PageIndex::open(cache(), why);
        EXPECT_TRUE(index) << why;
        return index;
    }
    // Long after the files were written, so their keys are settled.
    static auto later() { return std::chrono::system_clock::now() + 1h; }

    static std::vector<std::u16string> names(const Found& found)
    {
        std::vector<std::u16string> out;
        for (const Hit& hit : found.hits)
            out.push_back(hit.name);
        return out;
    }

    fs::path m_root;
};

TEST_F(PageIndexTest, FindsPagesHoldingEveryWordWithoutRegardToCaseOrAccents)
{
    write("Invoices", "The caf\\'e9 bill for M\\'fcller, paid in March.");
    write("Recipes", "Cafe au lait: milk and coffee.");
    write("Travel", "Train to Zurich in march.");
    auto index = open();
    ASSERT_EQ(index->sync(folder(), {u"Invoices", u"Recipes", u"Travel"}, u"", u"", later()), 3U);

    const std::pair<std::u16string_view, std::vector<std::u16string>> cases[] = {
        {u"CAFE", {u"Invoices", u"Recipes"}}, // accents and case folded
        {u"müller march", {u"Invoices"}},     // every word, in any order
        {u"mueller", {}},                     // folding is not transliteration
        {u"marc", {u"Invoices", u"Travel"}},  // the last word as a prefix
        {u"mar paid", {}},                    // only the last word is a prefix
        {u"recipes", {u"Recipes"}},           // the title counts
        {u"", {}},
    };
    for (const auto& [typed, expected] : cases) {
        auto found = names(index->search(typed, 10));
        std::sort(found.begin(), found.end());
        EXPECT_EQ(found, expected) << std::string(typed.begin(), typed.end());
    }
}

TEST_F(PageIndexTest, BestFirstWithASnippetAroundTheMatch)
{
    write("Notes", "Something else entirely, and then once: the word harbour appears here.");
    write("Harbour", "Boats.");
    auto index = open();
    index->sync(folder(), {u"Notes", u"Harbour"}, u"", u"", later());
    const Found found = index->search(u"harbour", 1);
    EXPECT_EQ(found.count, 2U);
    ASSERT_EQ(found.hits.size(), 1U);          // the limit
    EXPECT_EQ(found.hits[0].name, u"Harbour"); // the title weighs more
    const Found notes = index->search(u"harb", 5);
    ASSERT_EQ(notes.hits.size(), 2U);
    EXPECT_NE(notes.hits[1].snippet.find(u"\u0002harbour\u0003"), std::u16string::npos)
        << std::string(notes.hits[1].snippet.begin(), notes.hits[1].snippet.end());
}

TEST_F(PageIndexTest, ChangedRemovedAndShownPagesAreSeenAndTheCacheOutlivesTheProcess)
{
    write("A", "alpha");
    write("B", "beta");
    {
        auto index = open();
        EXPECT_EQ(index->sync(folder(), {u"A", u"B"}, u"", u"", later()), 2U);
    }
    auto index = open(); // a later run: nothing unchanged is read again
    EXPECT_EQ(index->size(), 2U);
    EXPECT_EQ(index->sync(folder(), {u"A", u"B"}, u"", u"", later()), 0U);

    write("A", "gamma and more text"); // another size: another key
    EXPECT_EQ(index->sync(folder(), {u"A", u"B"}, u"", u"", later()), 1U);
    EXPECT_EQ(names(index->search(u"gamma", 5)), std::vector<std::u16string>{u"A"});
    EXPECT_TRUE(index->search(u"alpha", 5).hits.empty());

    // The page shown is the editor's text, ahead of its file.
    index->sync(folder(), {u"A", u"B"}, u"B", u"typed delta", later());
    EXPECT_EQ(names(index->search(u"delta", 5)), std::vector<std::u16string>{u"B"});
    index->updateShown(u"B", u"typed epsilon");
    EXPECT_EQ(names(index->search(u"epsilon", 5)), std::vector<std::u16string>{u"B"});
    EXPECT_TRUE(index->search(u"delta", 5).hits.empty());

    index->sync(folder(), {u"A"}, u"", u"", later()); // B left the list
    EXPECT_TRUE(index->search(u"beta", 5).hits.empty());
    EXPECT_EQ(index->size(), 1U);
}

TEST_F(PageIndexTest, AFreshFileIsReadAgainUntilItsTimesSettle)
{
    write("A", "alpha");
    auto index = open();
    EXPECT_EQ(index->sync(folder(), {u"A"}, u"", u"", std::chrono::system_clock::now()), 1U);
    EXPECT_EQ(index->sync(folder(), {u"A"}, u"", u"", std::chrono::system_clock::now()), 1U);
    EXPECT_EQ(index->sync(folder(), {u"A"}, u"", u"", later()), 1U);
    EXPECT_EQ(index->sync(folder(), {u"A"}, u"", u"", later()), 0U);
}

TEST_F(PageIndexTest, AnUnreadableCacheIsMadeAgainAndAMissingPageIsNotFound)
{
    fs::create_directories(cache().parent_path());
    std::ofstream(cache(), std::ios::binary) << std::string(4096, '\x7f'); // no database
    write("A", "alpha");
    auto index = open();
    ASSERT_TRUE(index);
    // A name whose file is missing or is a folder is passed over, not waited for.
    fs::create_directories(folder() / "Folder");
    EXPECT_EQ(index->sync(folder(), {u"A", u"Missing", u"Folder"}, u"", u"", later()), 1U);
    EXPECT_EQ(index->search(u"alpha", 5).count, 1U);
    EXPECT_EQ(index->size(), 1U);
}

TEST_F(PageIndexTest, TheWorkerAnswersTheLatestSearch)
{
    write("A", "alpha");
    std::vector<std::pair<std::uint64_t, std::size_t>> answers;
    std::string failure;
    IndexWorker worker([&](std::uint64_t query, Found found) { answers.emplace_back(query, found.count); },
                       [&](std::string why) { failure = std::move(why); });
    worker.setProject(cache(), folder());
    worker.sync({u"A"}, u"", u"");
    worker.search(1, u"alp", 10);
    worker.wait();
    ASSERT_FALSE(answers.empty());
    EXPECT_EQ(answers.back(), (std::pair<std::uint64_t, std::size_t>{1, 1}));
    EXPECT_TRUE(failure.empty());

    worker.setProject(fs::path("/proc/no/such/place/index.sqlite"), folder());
    worker.wait();
    EXPECT_FALSE(failure.empty());
    worker.search(2, u"alpha", 10);
    worker.wait();
    EXPECT_EQ(answers.back(), (std::pair<std::uint64_t, std::size_t>{2, 0}));
}

} // namespace
} // namespace quillory::search
