#include "platform/encoding.h"

#include <gtest/gtest.h>

namespace xq {
namespace {

struct EncodingRow {
    const char* name;
    std::string utf8;
    std::string gbk;
};

TEST(Encoding, ConvertsBothWays) {
    const EncodingRow rows[] = {
        {"ascii", "Chess.log 12:00", "Chess.log 12:00"},
        {"gb2312", "将军", "\xBD\xAB\xBE\xFC"},
        {"gbk only", "砲", "\xB3\x68"},
        {"full-width digit", "１", "\xA3\xB1"},
        {"empty", "", ""},
    };
    for (const EncodingRow& row : rows) {
        EXPECT_EQ(Utf8ToGbk(row.utf8), row.gbk) << row.name;
        EXPECT_EQ(GbkToUtf8(row.gbk), row.utf8) << row.name;
    }
}

TEST(Encoding, LongTextsAreConvertedWhole) {
    std::string utf8(300, 'x');
    std::string gbk(300, 'x');
    for (int i = 0; i < 4; ++i) {
        utf8 += "卒";
        gbk += "\xD7\xE4";
    }
    EXPECT_EQ(Utf8ToGbk(utf8), gbk);
    EXPECT_EQ(GbkToUtf8(gbk), utf8);
}

TEST(Encoding, ReplacesWhatCannotBeConvertedAndKeepsTheRest) {
    EXPECT_EQ(Utf8ToGbk("a\xF0\x9F\x98\x80"
                        "b"),
              "a?b");  // an emoji has no GBK code
    EXPECT_EQ(Utf8ToGbk("a\xFF"
                        "b"),
              "a?b");  // not UTF-8 at all
    EXPECT_EQ(GbkToUtf8("\xBD\xAB\xFF"), "将?");
}

TEST(Encoding, AConversionThatCannotBeSetUpIsReportedNotFaked) {
    EXPECT_EQ(ConvertEncoding("NO-SUCH-ENCODING", "UTF-8", "将军"), std::nullopt);
    EXPECT_EQ(ConvertEncoding("GBK", "NO-SUCH-ENCODING", "abc"), std::nullopt);
    EXPECT_EQ(ConvertEncoding("UTF-16LE", "UTF-8", "a"), std::string("a\0", 2));
}

}  // namespace
}  // namespace xq
