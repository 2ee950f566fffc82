#include "common/error.h"

#include <gtest/gtest.h>

using corvane::Error;

TEST(Error, NamesFileLineAndReason)
{
    const Error plain("Step X is 0");
    EXPECT_STREQ(plain.what(), "Step X is 0");
    EXPECT_EQ(plain.reason(), "Step X is 0");

    const Error withFile("/tmp/a.dxf", "No space left on device");
    EXPECT_STREQ(withFile.what(), "/tmp/a.dxf: No space left on device");
    EXPECT_EQ(withFile.file(), "/tmp/a.dxf");
    EXPECT_EQ(withFile.reason(), "No space left on device");

    const Error withLine("m.dxf", 12, "group code is not a number");
    EXPECT_STREQ(withLine.what(), "m.dxf:12: group code is not a number");
    EXPECT_EQ(withLine.line(), 12);
}
