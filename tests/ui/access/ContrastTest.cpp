#include "ui/access/Contrast.h"

#include <gtest/gtest.h>

#include <array>

using namespace quillory;

TEST(Contrast, RatioOfKnownPairs)
{
    EXPECT_NEAR(contrastRatio(Qt::black, Qt::white), 21.0, 1e-9);
    EXPECT_NEAR(contrastRatio(Qt::white, Qt::black), 21.0, 1e-9);
    EXPECT_NEAR(contrastRatio(QColor(0x80, 0, 0), QColor(0x80, 0, 0)), 1.0, 1e-9);
    // WCAG's own example values: mid grey on white sits just under the text threshold.
    EXPECT_NEAR(contrastRatio(QColor(0x77, 0x77, 0x77), Qt::white), 4.48, 0.01);
    EXPECT_NEAR(contrastRatio(QColor(0x76, 0x76, 0x76), Qt::white), 4.54, 0.01);
}

TEST(Contrast, ReadableOnMovesLightnessAloneAndOnlyWhenNeeded)
{
    struct Case {
        const char* what;
        QColor wanted;
        QColor background;
        bool kept;
    };
    const std::array<Case, 6> cases{{
        {"maroon on a light button face", QColor(0x80, 0, 0), QColor(0xef, 0xef, 0xef), true},
        {"maroon on a dark button face", QColor(0x80, 0, 0), QColor(0x31, 0x36, 0x3b), false},
        {"blue link on white", QColor(0, 0, 0xff), Qt::white, true},
        {"blue link on a dark page", QColor(0, 0, 0xff), QColor(0x1b, 0x1e, 0x20), false},
        {"black on a dark window", Qt::black, QColor(0x2a, 0x2a, 0x2a), false},
        {"yellow on white", QColor(0xff, 0xff, 0), Qt::white, false},
    }};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QColor got = readableOn(c.wanted, c.background, kTextContrast);
        EXPECT_GE(contrastRatio(got, c.background), kTextContrast);
        if (c.kept) {
            EXPECT_EQ(got, c.wanted);
            continue;
        }
        // The same hue, as near the wanted colour as reads: a little less would not.
        if (c.wanted.hslSaturation() > 0) {
            EXPECT_NEAR(got.hslHueF(), c.wanted.hslHueF(), 0.01);
        }
        const QColor nearer =
            QColor::fromHslF(got.hslHueF(), got.hslSaturationF(), (got.lightnessF() * 49 + c.wanted.lightnessF()) / 50);
        EXPECT_LT(contrastRatio(nearer, c.background), kTextContrast);
    }
}

TEST(Contrast, ANeedBeyondReachGivesTheExtreme)
{
    // Nothing reaches 21:1 against mid grey: white is as far as lightening goes.
    const QColor got = readableOn(QColor(0x80, 0x80, 0x80), QColor(0x40, 0x40, 0x40), 21.0);
    EXPECT_EQ(got.lightnessF(), 1.0);
}
