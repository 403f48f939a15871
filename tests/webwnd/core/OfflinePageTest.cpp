#include "webwnd/core/OfflinePage.h"

#include <gtest/gtest.h>

#include <string>

TEST(OfflinePage, TheFailedAddressTravelsInTheFragmentAndComesBack)
{
    struct Case
    {
        const char* name;
        std::string failed;
        const char* fragment;
    } const cases[] = {
        {"plain", "http://www.lumora.example/zrkpt/inlinelogin/?channelid=0",
         "http%3A%2F%2Fwww.lumora.example%2Fzrkpt%2Finlinelogin%2F%3Fchannelid%3D0"},
        {"https, kept marks", "https://s1.game.example/a_b-c.d!~*'()", "https%3A%2F%2Fs1.game.example%2Fa_b-c.d!~*'()"},
        {"Chinese, as UTF-8", "http://a/\xE6\xB8\xB8\xE6\x88\x8F", "http%3A%2F%2Fa%2F%E6%B8%B8%E6%88%8F"},
        {"its own marks", "http://a/#x%20y", "http%3A%2F%2Fa%2F%23x%2520y"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const std::string fragment = FailedAddressFragment(c.failed, 2048);
        EXPECT_EQ(c.fragment, fragment);
        EXPECT_EQ(c.failed, RetryTarget("res://C:\\Games\\lumora.exe/offline-en.html#" + fragment));
    }
}

TEST(OfflinePage, ALongAddressIsCutAtAWholeCharacter)
{
    // 3,000 Chinese characters of 9 encoded bytes each: cut to at most 2,000, never inside a character's escapes.
    std::string failed = "http://a/";
    for (int i = 0; i < 3000; ++i)
        failed += "\xE6\xB8\xB8";
    const std::string fragment = FailedAddressFragment(failed, 2000);
    EXPECT_LE(fragment.size(), 2000u);
    EXPECT_GT(fragment.size(), 1990u);
    const std::string back = RetryTarget("res://x/p#" + fragment);
    ASSERT_FALSE(back.empty());
    EXPECT_EQ(failed.substr(0, back.size()), back);
    EXPECT_EQ(0u, (back.size() - 9) % 3) << "a whole number of characters";
    EXPECT_EQ("http", FailedAddressFragment(failed, 5));
    EXPECT_EQ("", FailedAddressFragment("\xE6\xB8\xB8", 8)) << "not even the first character fits";
}

TEST(OfflinePage, TheRetryLinkLeadsOnlyToWebAddresses)
{
    struct Case
    {
        const char* page;
        const char* target;
    } const cases[] = {
        {"res://x/p#http%3A%2F%2Fa%2F", "http://a/"},
        {"res://x/p#HTTPS%3A%2F%2Fa%2F", "HTTPS://a/"},
        {"res://x/p", ""},
        {"res://x/p#", ""},
        {"res://x/p#javascript%3Aalert(1)", ""},
        {"res://x/p#file%3A%2F%2F%2Fc%3A%2F", ""},
        {"res://x/p#http%3A%2F%2Fa%2F%", ""},       // an escape cut short
        {"res://x/p#http%3A%2F%2Fa%2F%ZZ", ""},     // not hex
        {"res://x/p#http%3A%2F%2Fa%2F%FF", ""},     // no UTF-8
        {"res://x/p#http://a/b#c", "http://a/b#c"}, // the first "#" starts the fragment
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.target, RetryTarget(c.page)) << c.page;
}

TEST(OfflinePage, ServersThatCannotBeReached)
{
    struct Case
    {
        int32_t status;
        bool unreachable;
    } const cases[] = {
        {static_cast<int32_t>(0x800C0004), true}, // INET_E_CANNOT_CONNECT
        {static_cast<int32_t>(0x800C0005), true}, // INET_E_RESOURCE_NOT_FOUND: no such host
        {static_cast<int32_t>(0x800C000B), true}, // INET_E_CONNECTION_TIMEOUT
        {502, true},
        {503, true},
        {504, true},
        {404, false},
        {500, false},
        {200, false},
        {0, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.unreachable, IsServerUnreachable(c.status)) << c.status;
}

TEST(OfflinePage, OwnPagesByScheme)
{
    EXPECT_TRUE(IsOwnPageAddress("res://C:\\Games\\lumora.exe/offline-en.html#http%3A%2F%2Fa"));
    EXPECT_TRUE(IsOwnPageAddress("RES://x/p"));
    EXPECT_FALSE(IsOwnPageAddress("http://res/"));
    EXPECT_FALSE(IsOwnPageAddress("re"));
    EXPECT_FALSE(IsOwnPageAddress(""));
}
