#include "core/text/HotkeyCommands.h"

#include <gtest/gtest.h>

using namespace quillory;

namespace {

TEST(HotkeyCommands, EachHotkeyHasOneOptionAndBack)
{
    for (int id = 1; id <= 5; ++id) {
        const std::string_view option = HotkeyOption(id);
        ASSERT_FALSE(option.empty()) << id;
        EXPECT_EQ(HotkeyForOption(option), id);
    }
    EXPECT_EQ(HotkeyOption(2), "--previous");
    EXPECT_EQ(HotkeyOption(4), "--copy");
    for (const int id : {0, 6, -1})
        EXPECT_TRUE(HotkeyOption(id).empty()) << id;
    for (const std::string_view argument : {"", "--", "copy", "--COPY", "--copy ", "-copy", "--showx"})
        EXPECT_EQ(HotkeyForOption(argument), std::nullopt) << argument;
}

TEST(HotkeyCommands, RequestsCrossTheSocketWhole)
{
    for (const HotkeyRequest& request : std::initializer_list<HotkeyRequest>{
             {1, ""}, {4, "kwin-1234_abcd"}, {5, "quillory-host-1_TIME12345"}, {3, std::string(512, 'x')}}) {
        const std::string line = EncodeHotkeyRequest(request);
        ASSERT_TRUE(line.ends_with('\n'));
        EXPECT_EQ(line.find('\n'), line.size() - 1) << "one line";
        EXPECT_EQ(DecodeHotkeyRequest(std::string_view(line).substr(0, line.size() - 1)), request) << line;
    }
}

TEST(HotkeyCommands, ATokenTheDesktopCouldOnlyRefuseIsLeftOut)
{
    for (const std::string& token : {std::string("two words"), std::string("line\nbreak"), std::string(513, 'x'),
                                     std::string("caf\xc3\xa9"), std::string("tab\there")})
        EXPECT_EQ(EncodeHotkeyRequest({4, token}), "hotkey 4\n") << token;
}

TEST(HotkeyCommands, OnlyWellFormedLinesAreRequests)
{
    EXPECT_EQ(DecodeHotkeyRequest("show"), (HotkeyRequest{1, ""}));
    for (const std::string_view line :
         {"", "show ", "hotkey", "hotkey ", "hotkey 0", "hotkey 6", "hotkey 44", "hotkey 4 ", "hotkey 4  t",
          "hotkey 4 a b", "hotkey x", "HOTKEY 4", " hotkey 4", "hotkey 4\x01"})
        EXPECT_EQ(DecodeHotkeyRequest(line), std::nullopt) << line;
}

} // namespace
