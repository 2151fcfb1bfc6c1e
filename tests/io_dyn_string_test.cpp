// DynString: construction, assignment, concatenation and numbers as text.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "io/dyn_string.h"

TEST(DynString, IntegersPrintAsDecimalWithTheirLength) {
    struct Case {
        int value;
        const char* text;
        int length;
    };
    const Case cases[] = {
        {-7, "-7", 2}, {-123, "-123", 4}, {0, "0", 1}, {INT_MAX, "2147483647", 10},
        {INT_MIN, "-2147483648", 11},
    };
    for (const Case& c : cases) {
        DynString s("old text");
        s = c.value;
        EXPECT_STREQ(s.Text(), c.text);
        EXPECT_EQ(s.Length(), c.length) << c.text;
    }
}

TEST(DynString, FloatsPrintWithSixDecimals) {
    DynString s;
    s = 0.5f;
    EXPECT_STREQ(s.Text(), "0.500000");
    EXPECT_EQ(s.Length(), 8);
    s = -2.25f;
    EXPECT_STREQ(s.Text(), "-2.250000");
    s = 3.4e38f;  // the widest finite float still fits the scratch buffer
    EXPECT_EQ(s.Length(), static_cast<int>(std::strlen(s.Text())));
    EXPECT_EQ(std::string(s.Text()).substr(0, 3), "339");
}

TEST(DynString, EmptinessAndTheSizedConstructor) {
    DynString blank;
    EXPECT_EQ(blank.IsEmpty(), -1);
    EXPECT_EQ(blank.Length(), 0);
    EXPECT_STREQ(blank.Text(), "");

    DynString sized(3);
    EXPECT_EQ(sized.Length(), 3);
    EXPECT_STREQ(sized.Text(), "");
    EXPECT_EQ(sized.IsEmpty(), 0);

    DynString fromNull(static_cast<const char*>(nullptr));
    EXPECT_TRUE(fromNull == "");
    EXPECT_EQ(fromNull.IsEmpty(), -1);
    DynString assignedNull("x");
    assignedNull = static_cast<const char*>(nullptr);
    EXPECT_EQ(assignedNull.Length(), 0);
}

TEST(DynString, CopiesAndSelfAssignment) {
    DynString a("water");
    DynString b(a);
    a = "walls";
    EXPECT_STREQ(b.Text(), "water");
    DynString& same = a;
    a = same;
    EXPECT_STREQ(a.Text(), "walls");
    EXPECT_EQ(a.Length(), 5);
    b = a;
    EXPECT_STREQ(b.Text(), "walls");
}

TEST(DynString, ConcatenationKeepsLengthsAndOperands) {
    DynString a("Frame ");
    DynString b("Skip");
    DynString joined = a + b;
    EXPECT_STREQ(joined.Text(), "Frame Skip");
    EXPECT_EQ(joined.Length(), 10);
    EXPECT_STREQ(a.Text(), "Frame ");
    EXPECT_STREQ((b + " :").Text(), "Skip :");
    EXPECT_STREQ((b + nullptr).Text(), "Skip");

    // The first operand's whole length counts, NUL characters included.
    DynString padded = DynString(2) + "ab";
    EXPECT_EQ(padded.Length(), 4);
    EXPECT_STREQ(padded.Text(), "");
    EXPECT_EQ(std::memcmp(padded.Text(), "\0\0ab", 5), 0);
}

TEST(DynString, ComparisonsAsStrcmp) {
    DynString abc("abc"), abd("abd"), abc2("abc");
    EXPECT_TRUE(abc < abd);
    EXPECT_FALSE(abc > abd);
    EXPECT_TRUE(abd > abc);
    EXPECT_TRUE(abc != abd);
    EXPECT_FALSE(abc == abd);
    EXPECT_TRUE(abc == abc2);
    EXPECT_FALSE(abc != abc2);
    EXPECT_TRUE(abc == "abc");
    EXPECT_TRUE(abc != "ab");
    EXPECT_FALSE(abc < abc2);
    // Bytes compare unsigned: 0xE9 sorts after every ASCII letter.
    EXPECT_TRUE(DynString("\xE9") > DynString("z"));
    EXPECT_TRUE(DynString("ab") < DynString("abc"));
}

TEST(DynString, LengthsBeyondTheLimitAreCutNeverOverrun) {
    const int limit = DynString::kMaxLength;
    EXPECT_EQ(DynString(limit + 10).Length(), limit);
    EXPECT_EQ(DynString(-5).Length(), 0);

    std::string huge(100000, 'x');
    DynString fromText(huge.c_str());
    EXPECT_EQ(fromText.Length(), limit);
    EXPECT_EQ(std::strlen(fromText.Text()), static_cast<size_t>(limit));
    DynString assigned;
    assigned = huge.c_str();
    EXPECT_EQ(assigned.Length(), limit);

    std::string first(40000, 'a'), second(40000, 'b');
    DynString sum = DynString(first.c_str()) + DynString(second.c_str());
    ASSERT_EQ(sum.Length(), limit);
    EXPECT_EQ(sum.Text()[39999], 'a');
    EXPECT_EQ(sum.Text()[40000], 'b');
    EXPECT_EQ(sum.Text()[limit], '\0');
    DynString plain = DynString(first.c_str()) + second.c_str();
    EXPECT_EQ(plain.Length(), limit);
    EXPECT_EQ(std::strlen(plain.Text()), static_cast<size_t>(limit));
}
