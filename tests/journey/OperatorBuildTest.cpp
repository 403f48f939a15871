// A client built with an operator's own site-address document: it carries that document, and its site buttons open
// the operator's pages.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "mainwnd/core/SiteUrlTable.h"
#include "res/resource.h"
#include "tests/app/ClientProcess.h"

TEST(OperatorBuild, CarriesTheOperatorsAddresses)
{
    HMODULE client = ::LoadLibraryExW(BuiltClient().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, client);
    HRSRC resource = ::FindResourceA(client, MAKEINTRESOURCEA(IDR_SITEURL_DOC), "TEXT");
    ASSERT_NE(nullptr, resource);
    const std::string document(static_cast<const char*>(::LockResource(::LoadResource(client, resource))),
                               ::SizeofResource(client, resource));
    ::FreeLibrary(client);
    CSiteUrlTable table;
    table.Load(document.data(), static_cast<int>(document.size()));
    EXPECT_EQ("http://www.operator-games.example/", table.Official.Bytes());
    EXPECT_EQ(".play.operator-games.example", table.LoginKey.Bytes());

    CRecordedShell shell;
    CClient running;
    ASSERT_TRUE(running.Started());
    Click(running.Web(), IDC_BTN_OFFICIAL);
    EXPECT_TRUE(WaitFor([&] { return shell.Opened().size() == 1; }));
    EXPECT_EQ((std::vector<std::string>{"http://www.operator-games.example/"}), shell.Opened());
}
