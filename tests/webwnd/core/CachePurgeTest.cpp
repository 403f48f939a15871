#include "webwnd/core/CachePurge.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{

// A scripted cache: entries of given record sizes, enumerated as the platform does it, with what the purge asked
// for written down.
class CFakeCache : public CUrlCache
{
public:
    struct Entry
    {
        std::string url;
        uint32_t size;
        bool deletable = true;
    };
    std::vector<Entry> entries;
    int failOnNext = -1; // the FindNext call (counted from 1) that fails with another error than the size
    std::vector<std::string> log;

    Result FindFirst(void* buffer, uint32_t& size) override
    {
        log.push_back("first " + std::to_string(size) + (buffer ? "" : " (no buffer)"));
        m_next = 0;
        return Read(buffer, size);
    }
    Result FindNext(void* buffer, uint32_t& size) override
    {
        log.push_back("next " + std::to_string(size));
        if (++m_nextCalls == failOnNext)
            return Failed;
        return Read(buffer, size);
    }
    void Delete(const void* entry) override
    {
        const std::string url(static_cast<const char*>(entry));
        log.push_back("delete " + url);
        for (auto it = entries.begin(); it != entries.end(); ++it)
        {
            if (it->url == url && it->deletable)
            {
                entries.erase(it);
                --m_next; // what comes after it moves up
                break;
            }
        }
    }
    void Close() override { log.push_back("close"); }

private:
    Result Read(void* buffer, uint32_t& size)
    {
        if (m_next >= entries.size())
            return NoMoreItems;
        const Entry& entry = entries[m_next];
        if (!buffer || size < entry.size)
        {
            size = entry.size;
            return InsufficientBuffer;
        }
        size = entry.size;
        std::memset(buffer, 0, entry.size);
        std::memcpy(buffer, entry.url.c_str(), entry.url.size() + 1);
        ++m_next;
        return Ok;
    }

    size_t m_next = 0;
    int m_nextCalls = 0;
};

using Log = std::vector<std::string>;

} // namespace

TEST(CachePurge, EmptyCacheAllocatesAndDeletesNothing)
{
    CFakeCache cache;
    PurgeUrlCache(cache);
    EXPECT_EQ((Log{"first 0 (no buffer)"}), cache.log);
}

TEST(CachePurge, OneEntry)
{
    CFakeCache cache;
    cache.entries = {{"http://a/", 120}};
    PurgeUrlCache(cache);
    EXPECT_TRUE(cache.entries.empty());
    EXPECT_EQ((Log{"first 0 (no buffer)", "first 120", "delete http://a/", "next 120", "close"}), cache.log);
}

TEST(CachePurge, ALargerEntryGetsABufferOfExactlyItsSize)
{
    // The second entry is larger than the first one's reported size (though not than the buffer): asked again in a
    // buffer of its own size. The third, smaller, fits the buffer and needs no new one.
    CFakeCache cache;
    cache.entries = {{"http://a/", 120}, {"http://b/", 200}, {"http://c/", 80}, {"http://d/", 100}};
    PurgeUrlCache(cache);
    EXPECT_TRUE(cache.entries.empty());
    EXPECT_EQ((Log{"first 0 (no buffer)", "first 120", "delete http://a/", "next 120", "next 200", "delete http://b/",
                   "next 200", "delete http://c/", "next 80", "next 100", "delete http://d/", "next 100", "close"}),
              cache.log);
}

TEST(CachePurge, AnEntryThatWillNotGoIsPassedOver)
{
    CFakeCache cache;
    cache.entries = {{"http://a/", 50}, {"http://locked/", 50, false}, {"http://c/", 50}};
    PurgeUrlCache(cache);
    ASSERT_EQ(1u, cache.entries.size());
    EXPECT_EQ("http://locked/", cache.entries[0].url);
    EXPECT_EQ("close", cache.log.back());
}

TEST(CachePurge, AnEnumerationErrorEndsItAndKeepsWhatWasDeleted)
{
    CFakeCache cache;
    cache.entries = {{"http://a/", 50}, {"http://b/", 50}, {"http://c/", 50}};
    cache.failOnNext = 2; // after a and b have gone
    PurgeUrlCache(cache);
    ASSERT_EQ(1u, cache.entries.size());
    EXPECT_EQ("http://c/", cache.entries[0].url);
    EXPECT_EQ("close", cache.log.back());
}
