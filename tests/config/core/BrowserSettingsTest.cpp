#include "config/core/BrowserSettings.h"

#include <gtest/gtest.h>

#include "tests/core/ShippedDocuments.h"

TEST(BrowserSettings, DocumentModeOfTheDocument)
{
    struct Case
    {
        const char* document;
        int mode;
    } const cases[] = {
        {"[Browser]\r\nDocumentMode=11000\r\n", 11000},
        {"[Browser]\nDocumentMode=10001\n", 10001},
        {"[Browser]\r\nDocumentMode=0\r\n", 0}, // ask for nothing
        {"[Browser]\r\nDocumentMode= 9000 \r\n", 9000},
        // No choice: the default.
        {"", kDefaultDocumentMode},
        {"[Other]\r\nDocumentMode=9000\r\n", kDefaultDocumentMode},
        {"[Browser]\r\nMode=9000\r\n", kDefaultDocumentMode},
        {"[Browser]\r\nDocumentMode=\r\n", kDefaultDocumentMode},
        {"[Browser]\r\nDocumentMode=abc\r\n", kDefaultDocumentMode}, // not "0"
        {"[Browser]\r\nDocumentMode=11000x\r\n", kDefaultDocumentMode},
        {"[Browser]\r\nDocumentMode=-11000\r\n", kDefaultDocumentMode},
        {"[Browser]\r\nDocumentMode=12345\r\n", kDefaultDocumentMode}, // no mode the control knows
        {"[Browser]\r\nDocumentMode=99999999999999999999\r\n", kDefaultDocumentMode},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.document);
        EXPECT_EQ(c.mode, ReadDocumentMode(c.document));
    }
    EXPECT_EQ(11000, ReadDocumentMode(ReadShippedDocument("browser.ini")));
}
