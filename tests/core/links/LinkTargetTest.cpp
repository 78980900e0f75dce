#include "core/links/LinkTarget.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace quillory::links;

TEST(LinkTarget, KindsByTheirBeginning)
{
    const std::pair<std::u16string_view, LinkKind> cases[] = {
        {u"https://example.org/", LinkKind::Web},
        {u"HTTP://example.org/", LinkKind::Web},
        {u"ftp://ftp.example.org/x", LinkKind::Web},
        {u"mailto:someone@example.org", LinkKind::Web},
        {u"www.example.org", LinkKind::Web},
        {u"file:///home/u/run.sh", LinkKind::File},
        {u"FILE:/etc/passwd", LinkKind::File},
        {u"/usr/bin/xterm", LinkKind::File},
        {u"launcher.desktop", LinkKind::File},
        {u"../notes/a.txt", LinkKind::File},
        {u"~/Documents", LinkKind::File},
        {u"javascript:alert(1)", LinkKind::Other},
        {u"smb://server/share", LinkKind::Other},
        {u"steam://run/1", LinkKind::Other},
        {u"x-my+app.1:go", LinkKind::Other},
        {u"1http://x", LinkKind::File}, // a scheme begins with a letter
        {u"", LinkKind::File},
    };
    for (const auto& [target, kind] : cases)
        EXPECT_EQ(ClassifyLink(target), kind) << std::string(target.begin(), target.end());
}

TEST(LinkTarget, WhatTheOpenerWouldRun)
{
    const std::pair<std::u16string_view, bool> cases[] = {
        {u"/p/readme.txt", false}, {u"/p/photo.PNG", false},   {u"/p/.bashrc", false}, {u"/p/noext", false},
        {u"/p/run.sh", true},      {u"/p/Tool.DESKTOP", true}, {u"/p/app.jar", true},  {u"/p/setup.exe", true},
        {u"/p/x.AppImage", true},  {u"/p/script.py", true},    {u"/p/pkg.deb", true},  {u"/p.sh/readme", false},
    };
    for (const auto& [name, runs] : cases)
        EXPECT_EQ(WouldRun(name, false), runs) << std::string(name.begin(), name.end());
    EXPECT_TRUE(WouldRun(u"/p/readme.txt", true));
}

} // namespace
