#include "datafile/text_encoding.h"

#include <gtest/gtest.h>

namespace taviro {
namespace {

TEST(CodePage932, PinnedConversions) {
    const std::pair<const char*, const char*> cases[] = {
        {"abc,1.5", "abc,1.5"}, {"¥", "\x5c"},      {"‾", "\x7e"},
        {"〜", "\x81\x60"},     {"～", "\x81\x60"}, {"−", "\x81\x7c"},
        {"－", "\x81\x7c"},     {"‖", "\x81\x61"},  {"¦", "?"},
        {"＼", "\x81\x5f"},     {"①", "\x87\x40"},  {"ｱ", "\xb1"},
        {"a😀b", "a?b"},         {"€1", "?1"},       {"設定", "\x90\xdd\x92\xe8"},
        {"ก1", "?1"},           {"\xffx", "?x"},    {"\xC0\xAFx", "??x"},  // the last two not UTF-8
    };
    for (const auto& [utf8, cp932] : cases) EXPECT_EQ(ToCodePage932(utf8), cp932) << utf8;
}

TEST(LocaleText, ComesAsUtf8FromAnyEncoding) {
    // The system's messages in a Latin-1 or a Japanese EUC locale.
    EXPECT_EQ(ConvertText("Datei zu gro\xdf", "ISO-8859-1", "UTF-8"), "Datei zu groß");
    EXPECT_EQ(ConvertText("\xa5\xc7\xa5\xa3\xa5\xb9\xa5\xaf", "EUC-JP", "UTF-8"), "ディスク");
    EXPECT_EQ(ConvertText("a\xff", "UTF-8", "UTF-8"), "a?");
    EXPECT_EQ(LocaleTextToUtf8("No space left on device"), "No space left on device");
}

}  // namespace
}  // namespace taviro
