#include "core/rc4.h"

#include <gtest/gtest.h>

namespace tessoral {
namespace {

std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

// Published RC4 test vectors.
TEST(Rc4Test, MatchesPublishedVectors) {
    EXPECT_EQ(Hex(Rc4Transform("Plaintext", "Key")), "BBF316E8D940AF0AD3");
    EXPECT_EQ(Hex(Rc4Transform("pedia", "Wiki")), "1021BF0420");
    EXPECT_EQ(Hex(Rc4Transform("Attack at dawn", "Secret")), "45A01F645FC35B383552544B9BF5");
}

TEST(Rc4Test, EmptyAndSingleByte) {
    EXPECT_EQ(Rc4Transform("", "5093"), "");
    EXPECT_EQ(Rc4Transform("x", "5093").size(), 1u);
}

TEST(Rc4Test, EmptyKeyUsesIdentityState) {
    // With the identity permutation the first keystream bytes are known:
    // i=1: j=1, k=s[2]=2; i=2: j=3, swap -> s[2]=3,s[3]=2, k=s[5]=5.
    EXPECT_EQ(Hex(Rc4Transform(std::string(2, '\0'), "")), "0205");
}

TEST(Rc4Test, TwiceRestoresData) {
    std::string data;
    for (int i = 0; i < 1000; ++i) data += static_cast<char>(i * 7);
    EXPECT_EQ(Rc4Transform(Rc4Transform(data, "5093"), "5093"), data);
}

}  // namespace
}  // namespace tessoral
