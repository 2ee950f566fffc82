#include "common/error.h"
#include "common/number_format.h"
#include "common/timestamp.h"
#include "relief/edit_number.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <random>

using corvane::fixedText;
using corvane::relief::readEditInteger;
using corvane::relief::readEditNumber;

namespace {

std::string printfFixed(double v, int decimals)
{
    char text[400];
    std::snprintf(text, sizeof text, "%.*f", decimals, v); // the tests run in the C locale
    return text;
}

} // namespace

TEST(NumberFormat, MatchesPrintfOnRandomAndAwkwardValues)
{
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> small(-2, 2);
    std::uniform_real_distribution<double> wide(-1e7, 1e7);
    std::uniform_int_distribution<int> tenThousandths(-3000000, 3000000);
    for (int i = 0; i < 20000; ++i) {
        for (double v : {small(random), wide(random), tenThousandths(random) / 10000.0,
                         tenThousandths(random) / 20000.0, tenThousandths(random) * 0.00005}) {
            for (int d : {0, 2, 3, 4})
                ASSERT_EQ(fixedText(v, d), printfFixed(v, d)) << v;
        }
    }
    // Exact halves go to the even digit; negative values that round to zero keep their sign.
    for (double v : {0.5,
                     1.5,
                     2.5,
                     1.03125,
                     1.03135,
                     -1.03125,
                     0.00005,
                     -0.00004,
                     -0.0,
                     0.0,
                     1e-300,
                     5e-324,
                     123456789.123456,
                     999999999.99995,
                     1e9,
                     1e15,
                     1e300,
                     -1e300,
                     0.0000499999999999,
                     0.2 - 0.1 - 0.1})
        for (int d : {0, 2, 3, 4})
            EXPECT_EQ(fixedText(v, d), printfFixed(v, d)) << v;
    EXPECT_EQ(fixedText(1.03125, 4), "1.0312");
    EXPECT_EQ(fixedText(-0.0, 4), "-0.0000");
    EXPECT_EQ(fixedText(0.03, 2), "0.03");
    EXPECT_EQ(fixedText(0.01, 3), "0.010");
}

TEST(EditNumber, ReadsTheDialogsGrammarAndRefusesTheRest)
{
    EXPECT_EQ(readEditNumber(".25"), 0.25);
    EXPECT_EQ(readEditNumber("  +4"), 4.0);
    EXPECT_EQ(readEditNumber("-1.5e2"), -150.0);
    EXPECT_EQ(readEditNumber("2E-1"), 0.2);
    EXPECT_EQ(readEditNumber("5."), 5.0);
    EXPECT_EQ(readEditNumber(""), 0.0);
    EXPECT_EQ(readEditNumber("   "), 0.0);
    EXPECT_EQ(readEditNumber("0.5 "), 0.5);
    for (const char* bad : {"1,5", "abc", "-", "+", ".", "1.2.3", "1e", "1e+", "e5", "0x10", "4mm",
                            "inf", "nan", "1e999", "- 1"})
        EXPECT_FALSE(readEditNumber(bad).has_value()) << bad;

    EXPECT_EQ(readEditInteger("60"), 60);
    EXPECT_EQ(readEditInteger(" +90 "), 90);
    EXPECT_EQ(readEditInteger("-5"), -5);
    for (const char* bad : {"60.5", "6e1", "sixty", "+-3", "99999999999"})
        EXPECT_FALSE(readEditInteger(bad).has_value()) << bad;
}

TEST(Timestamp, FollowsSourceDateEpochInUtcAndRefusesGarbage)
{
    ::setenv("LC_ALL", "C", 1); // %x %X of the C locale
    ::setenv("SOURCE_DATE_EPOCH", "86399", 1);
    EXPECT_EQ(corvane::programTimestamp(), "01/01/70 23:59:59");
    ::setenv("SOURCE_DATE_EPOCH", "yesterday", 1);
    EXPECT_THROW(corvane::programTimestamp(), corvane::Error);
    ::unsetenv("SOURCE_DATE_EPOCH");
    EXPECT_FALSE(corvane::programTimestamp().empty());
    ::unsetenv("LC_ALL");
}
