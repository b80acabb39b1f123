// The page's address: a still for the tests and for sharing, and what a mistyped link gets.
#include "platform/web/page_query.h"

#include <gtest/gtest.h>

namespace {

TEST(PageQuery, ReadsAStillRequest)
{
    PageRequest request;
    std::string error;
    ASSERT_TRUE(ParsePageQuery("?still&t=130000&size=320x240&seed=7", request, error)) << error;
    EXPECT_TRUE(request.still);
    EXPECT_EQ(request.timeMs, 130000);
    EXPECT_EQ(request.width, 320);
    EXPECT_EQ(request.height, 240);
    ASSERT_TRUE(request.seed.has_value());
    EXPECT_EQ(*request.seed, 7u);
    EXPECT_EQ(request.fps, 60) << "the program's own step unless asked";

    // A plain visit plays from the start at the program's size; names it does not know (a
    // tracker's, a link's) are no reason to refuse the page.
    ASSERT_TRUE(ParsePageQuery("?utm_source=x&fbclid=abc%20d", request, error)) << error;
    EXPECT_FALSE(request.still);
    EXPECT_EQ(request.width, 0);
    EXPECT_FALSE(request.seed.has_value());
    ASSERT_TRUE(ParsePageQuery("", request, error));

    // Escaped and repeated: the last value counts, as in a form.
    ASSERT_TRUE(ParsePageQuery("t=5000&t=%3100&fps=30&mute&sound=2000", request, error)) << error;
    EXPECT_EQ(request.soundMs, 2000);
    EXPECT_EQ(request.timeMs, 100);
    EXPECT_EQ(request.fps, 30);
    EXPECT_TRUE(request.mute);
}

TEST(PageQuery, RefusesBadValuesWithOneLineNamingThem)
{
    struct Case {
        const char* query;
        const char* named;
    };
    const Case cases[] = {
        {"?still&size=320", "size:"},
        {"?still&size=320x0", "size:"},
        {"?still&size=99999x240", "size:"},  // a canvas no browser gives
        {"?still&size=-320x240", "size:"},
        {"?still&t=-5", "t:"},
        {"?still&t=2147483648", "t:"},     // past a frame time's range
        {"?still&t=12ms", "t:"},
        {"?still&seed=4294967296", "seed:"},
        {"?still&fps=0", "fps:"},
        {"?sound=0&t=1000", "sound:"},
        {"?sound=3600000", "sound:"},  // one array of floats in the page, not an hour of it
        {"?still&t=%4", "%-escape"},
        {"?still&t=%zz", "%-escape"},
    };
    for (const Case& bad : cases) {
        PageRequest request;
        std::string error;
        EXPECT_FALSE(ParsePageQuery(bad.query, request, error)) << bad.query;
        EXPECT_NE(error.find(bad.named), std::string::npos) << bad.query << " gave: " << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << "one line";
    }
}

}  // namespace
