// A client built with an operator's own site-address document: it carries that document, and its site buttons open
// the operator's pages.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "config/core/SiteUrlTable.h"
#include "res/resource.h"
#include "tests/support/ClientProcess.h"

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
    // A program the shell would start for the bare name "NuLL" (it searches the client's working folder, this one, for
    // a program of that name): it records an empty address.
    struct CNullProgram
    {
        const std::wstring path = FolderOf(RecorderPath()) + L"\\null.exe";
        CNullProgram() { ::CopyFileW(RecorderPath().c_str(), path.c_str(), FALSE); }
        ~CNullProgram() { ::DeleteFileW(path.c_str()); }
    } null;
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(null.path.c_str()));
    CClient running;
    ASSERT_TRUE(running.Started());
    // The forum is "NuLL": its button opens nothing. The official site's button, handled after it, opens its page.
    // Once that is there and no program the shell started for the forum runs any more, nothing more can come.
    Click(running.Web(), IDC_BTN_FORUM);
    Click(running.Web(), IDC_BTN_OFFICIAL);
    EXPECT_TRUE(WaitFor([&] { return shell.Opened().size() == 1; }));
    ASSERT_TRUE(HandledSoFar(running.Web()));
    EXPECT_TRUE(WaitFor([] { return !Running(L"null.exe"); }));
    EXPECT_EQ((std::vector<std::string>{"http://www.operator-games.example/"}), shell.Opened());
}
