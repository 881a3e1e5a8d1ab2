#include "platform/foundation/Value.h"

#include <gtest/gtest.h>

TEST(Value, NullStaysDistinctFromEmptyText) {
    Value nil;
    Value empty("");
    EXPECT_TRUE(nil.isNull());
    EXPECT_FALSE(empty.isNull());
    EXPECT_NE(nil, empty);
    EXPECT_EQ(nil.toString(), "");
}

TEST(Value, LenientReadersFollowThePlatform) {
    EXPECT_TRUE(Value("YES").toBool());
    EXPECT_FALSE(Value("NO").toBool());
    EXPECT_EQ(Value("42abc").toInt(), 42);
    EXPECT_EQ(Value(3.9).toInt(), 3);
    EXPECT_EQ(Value(true).toInt(), 1);
    EXPECT_EQ(Value(Value::Array{}).toInt(), 0);
    EXPECT_EQ(Value(int64_t(7)).toString(), "7");
}

TEST(Value, MissingDictionaryMemberIsNull) {
    Value d(Value::Dict{{"a", Value(1)}});
    EXPECT_EQ(d["a"].toInt(), 1);
    EXPECT_TRUE(d["b"].isNull());
    EXPECT_TRUE(Value(5)["a"].isNull());
}
