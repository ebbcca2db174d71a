#include <gtest/gtest.h>

#include "list/PhotoList.h"

namespace lisko {
namespace {

struct ExtensionCase {
    const char* path;
    bool photo;
};

class PhotoExtension : public ::testing::TestWithParam<ExtensionCase> {};

TEST_P(PhotoExtension, OnlyJpgAndJpegInAnyCase) {
    EXPECT_EQ(HasPhotoExtension(QString::fromUtf8(GetParam().path)), GetParam().photo)
        << GetParam().path;
}

INSTANTIATE_TEST_SUITE_P(
    Paths, PhotoExtension,
    ::testing::Values(ExtensionCase{"/x/a.jpg", true}, ExtensionCase{"/x/b.JPEG", true},
                      ExtensionCase{"/x/c.JpG", true}, ExtensionCase{"/x/c.png", false},
                      ExtensionCase{"/x/d", false}, ExtensionCase{"/x/e.jpg.txt", false},
                      ExtensionCase{"/x.jpg/f", false}, ExtensionCase{"/x/.jpg", true},
                      ExtensionCase{"/x/g.jpe", false}, ExtensionCase{"/x/h.jpgg", false},
                      // Only ASCII letters change case: a dotless capital I is not an I.
                      ExtensionCase{"/x/i.JPEĠ", false}));

struct OrderCase {
    const char* a;
    const char* b;
    bool less;
};

class Ordinal : public ::testing::TestWithParam<OrderCase> {};

TEST_P(Ordinal, ComparesUtf16CodeUnits) {
    const OrderCase& c = GetParam();
    EXPECT_EQ(OrdinalLess(QString::fromUtf8(c.a), QString::fromUtf8(c.b)), c.less)
        << c.a << " < " << c.b;
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, Ordinal,
    ::testing::Values(OrderCase{"/x/B.jpg", "/x/a.jpg", true},  // capitals first
                      OrderCase{"/x/a.jpg", "/x/B.jpg", false},
                      OrderCase{"/x/a.jpg", "/x/a.jpg", false},
                      OrderCase{"/x/a", "/x/a.jpg", true},  // a prefix sorts first
                      OrderCase{"/x/b.jpg", "/y/a.jpg", true},
                      OrderCase{"/x/я.jpg", "/x/z.jpg", false},
                      // U+FF21 sorts above a surrogate pair by code units, below by code points.
                      OrderCase{"/x/\xF0\x9F\x98\x80.jpg", "/x/\xEF\xBC\xA1.jpg", true}));

TEST(PhotoPath, DirectoryKeepsItsTrailingDelimiter) {
    EXPECT_EQ(DirectoryPart("/home/u/notes/a.jpg"), "/home/u/notes/");
    EXPECT_EQ(NamePart("/home/u/notes/a.jpg"), "a.jpg");
    EXPECT_EQ(DirectoryPart("a.jpg"), "");
    EXPECT_EQ(NamePart("a.jpg"), "a.jpg");
}

}  // namespace
}  // namespace lisko
