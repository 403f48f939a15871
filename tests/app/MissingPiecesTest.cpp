// The client with one of its pieces missing: each configuration document, each page and each image resource taken out
// of a copy of the executable in turn (the copy's resources rewritten, not a build per piece). Every copy must start,
// show its main window, draw what it can, and end cleanly when closed.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/support/ClientProcess.h"

namespace
{

struct Piece
{
    LPCWSTR type;
    int id;
    LPCWSTR name = nullptr; // a named resource's name, in place of id
    LPCWSTR Name() const { return name ? name : MAKEINTRESOURCEW(id); }
    std::string Text() const
    {
        const std::string kind = IS_INTRESOURCE(type) ? std::to_string(LOWORD(type)) : AfxUtf8(type);
        return kind + " " + (name ? AfxUtf8(name) : std::to_string(id));
    }
};

std::vector<Piece> AllPieces()
{
    std::vector<Piece> pieces = {{L"TEXT", IDR_LAYOUT_DOC},
                                 {L"TEXT", IDR_SITEURL_DOC},
                                 {L"TEXT", IDR_ANIMATION_DOC},
                                 {L"TEXT", IDR_RESOLUTION_DOC},
                                 {L"TEXT", IDR_BROWSER_DOC},
                                 {MAKEINTRESOURCEW(23) /* HTML */, 0, L"OFFLINE-EN.HTML"},
                                 {MAKEINTRESOURCEW(23), 0, L"OFFLINE-ZH.HTML"},
                                 {L"JPG", 205}};
    for (int id = 129; id <= 196; ++id)
        pieces.push_back({L"PNG", id});
    for (int id = 206; id <= 217; ++id)
        pieces.push_back({L"PNG", id});
    return pieces;
}

// Rewriting a copy's resources: every resource of the built client is written again but the one left out. (Wine's
// UpdateResource does not take a single resource out; writing the whole set anew it does.)
struct CRewrite
{
    HMODULE source;
    HANDLE update;
    const Piece* leftOut;
    bool ok = true;
};

bool SameName(LPCWSTR a, LPCWSTR b)
{
    if (IS_INTRESOURCE(a) || IS_INTRESOURCE(b))
        return a == b;
    return ::lstrcmpiW(a, b) == 0;
}

BOOL CALLBACK CopyLanguage(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language, LONG_PTR param)
{
    auto* rewrite = reinterpret_cast<CRewrite*>(param);
    if (SameName(type, rewrite->leftOut->type) && SameName(name, rewrite->leftOut->Name()))
        return TRUE;
    HRSRC resource = ::FindResourceExW(module, type, name, language);
    void* data = resource ? ::LockResource(::LoadResource(module, resource)) : nullptr;
    const DWORD size = resource ? ::SizeofResource(module, resource) : 0;
    if (!::UpdateResourceW(rewrite->update, type, name, language, data, size))
        rewrite->ok = false;
    return TRUE;
}

BOOL CALLBACK CopyName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR param)
{
    ::EnumResourceLanguagesW(module, type, name, CopyLanguage, param);
    return TRUE;
}

BOOL CALLBACK CopyType(HMODULE module, LPWSTR type, LONG_PTR param)
{
    ::EnumResourceNamesW(module, type, CopyName, param);
    return TRUE;
}

// A copy of the client without one resource; empty when the copy could not be made.
std::wstring CopyWithout(const std::wstring& folder, const Piece& piece, size_t number)
{
    const std::wstring exe = folder + L"\\lumora-" + std::to_wstring(number) + L".exe";
    if (!::CopyFileW(BuiltClient().c_str(), exe.c_str(), FALSE))
        return std::wstring();
    CRewrite rewrite = {::LoadLibraryExW(BuiltClient().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE),
                        ::BeginUpdateResourceW(exe.c_str(), TRUE), &piece};
    if (!rewrite.source || !rewrite.update)
    {
        if (rewrite.source)
            ::FreeLibrary(rewrite.source);
        return std::wstring();
    }
    ::EnumResourceTypesW(rewrite.source, CopyType, reinterpret_cast<LONG_PTR>(&rewrite));
    const BOOL written = ::EndUpdateResourceW(rewrite.update, !rewrite.ok);
    ::FreeLibrary(rewrite.source);
    return written && rewrite.ok ? exe : std::wstring();
}

bool HasResource(const std::wstring& exe, const Piece& piece)
{
    HMODULE module = ::LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    const bool found = module && ::FindResourceW(module, piece.Name(), piece.type);
    if (module)
        ::FreeLibrary(module);
    return found;
}

} // namespace

TEST(MissingPieces, TheClientStartsWithoutAnyOneOfThem)
{
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"lumora-missing-" + std::to_wstring(::GetTickCount());
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const std::vector<Piece> pieces = AllPieces();
    // A few at a time: each copy runs in a process of its own.
    const size_t batch = 10;
    for (size_t first = 0; first < pieces.size(); first += batch)
    {
        std::vector<std::unique_ptr<CClient>> clients;
        std::vector<const Piece*> started;
        for (size_t i = first; i < std::min(pieces.size(), first + batch); ++i)
        {
            const Piece& piece = pieces[i];
            const std::wstring exe = CopyWithout(folder, piece, i);
            ASSERT_FALSE(exe.empty()) << "no copy without " << piece.Text();
            ASSERT_FALSE(HasResource(exe, piece)) << piece.Text();
            clients.push_back(std::make_unique<CClient>(exe, false));
            started.push_back(&piece);
        }
        // Side by side: each shows its windows and paints them.
        std::vector<bool> shown;
        for (auto& client : clients)
            shown.push_back(client->WaitShown());
        for (size_t k = 0; k < clients.size(); ++k)
        {
            SCOPED_TRACE("without " + started[k]->Text());
            CClient& client = *clients[k];
            EXPECT_TRUE(shown[k]);
            EXPECT_TRUE(::IsWindowVisible(client.Main()));
            DWORD code = 0;
            EXPECT_FALSE(client.Ended(code, 0)) << "ended by itself with " << code;
            ::PostMessageW(client.Main(), WM_CLOSE, 0, 0);
            EXPECT_TRUE(client.Ended(code));
            EXPECT_EQ(0u, code);
        }
    }
}
