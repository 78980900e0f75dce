#include "core/links/RunTarget.h"
#include "core/links/ShellResult.h"

#include <gtest/gtest.h>

using namespace quillory::links;

TEST(SplitRunTarget, SeparatesFileParametersAndFolder)
{
    struct Case {
        std::u16string target;
        RunTarget expected;
    };
    const std::u16string longArgs(300, u'a');
    const Case cases[] = {
        {u"/usr/bin/editor{ARGS}  /home/me/notes.txt \t", {u"/usr/bin/editor", u"/home/me/notes.txt", u"/usr/bin/"}},
        {u"/usr/bin/editor {args}-n 1", {u"/usr/bin/editor ", u"-n 1", u"/usr/bin/"}},
        {u"/usr/bin/editor{ARGS}", {u"/usr/bin/editor", u"", u"/usr/bin/"}},
        {u"/opt/doc/README.md", {u"/opt/doc/README.md", u"", u"/opt/doc/"}},
        {u"http://a.org/x", {u"http://a.org/x", u"", u"http://a.org/"}},
        {u"editor{ARGS}x{ARGS}y", {u"editor", u"x{ARGS}y", u""}},
        {u"{ARGS}" + longArgs, {u"", std::u16string(255, u'a'), u""}},
        {u"", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitRunTarget(c.target), c.expected);
}

TEST(ShellErrorText, NamesFailuresOnly)
{
    EXPECT_EQ(ShellErrorText(ShellResult::NoAssociation),
              u"There is no application associated with the given filename extension.");
    EXPECT_EQ(ShellErrorText(ShellResult::Ok), u"");
    EXPECT_EQ(ShellErrorText(static_cast<ShellResult>(7)), u"");
    EXPECT_FALSE(Succeeded(ShellResult::LibraryNotFound));
    EXPECT_TRUE(Succeeded(ShellResult::Ok));
}
