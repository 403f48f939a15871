#include "host/ImpIDispatch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Stub.h"

TEST(ImpIDispatch, QueryInterfaceOnlyForDispatchAndUnknown)
{
    CImpIDispatch object;
    void* out = &object;
    EXPECT_EQ(E_NOINTERFACE, object.QueryInterface(IID_IOleObject, &out));
    EXPECT_EQ(nullptr, out);
    for (REFIID iid : {IID_IDispatch, IID_IUnknown})
    {
        out = nullptr;
        EXPECT_EQ(S_OK, object.QueryInterface(iid, &out));
        EXPECT_EQ(static_cast<IDispatch*>(&object), out);
    }
    EXPECT_EQ(2, object.RefCount());
}

TEST(ImpIDispatch, ReleaseBelowZeroNeverDestroys)
{
    auto* object = new CImpIDispatch;
    EXPECT_EQ(1u, object->AddRef());
    EXPECT_EQ(0u, object->Release());
    EXPECT_EQ(static_cast<ULONG>(-1), object->Release());
    EXPECT_EQ(-1, object->RefCount()); // still alive; the owner deletes it
    delete object;
}

TEST(ImpIDispatch, NamesMatchWholeAndCaseSensitive)
{
    CImpIDispatch object;
    struct Case
    {
        const wchar_t* name;
        DISPID id;
    } const cases[] = {
        {L"xxyyzz", 12345},          {L"\xFF58\xFF58yyzz", 12345}, // full-width letters: width is not looked at
        {L"XXYYZZ", DISPID_UNKNOWN}, {L"xxother", DISPID_UNKNOWN}, {L"xxyyzzz", DISPID_UNKNOWN}, {L"", DISPID_UNKNOWN},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << static_cast<int>(c.id));
        LPOLESTR name = const_cast<LPOLESTR>(c.name);
        DISPID id = 0;
        EXPECT_EQ(c.id == 12345 ? S_OK : DISP_E_UNKNOWNNAME,
                  object.GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id));
        EXPECT_EQ(c.id, id);
    }

    // Every name is looked at, even after a miss.
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"xxyyzz"), const_cast<LPOLESTR>(L"other"),
                        const_cast<LPOLESTR>(L"xxyyzz")};
    DISPID ids[3] = {};
    EXPECT_EQ(DISP_E_UNKNOWNNAME, object.GetIDsOfNames(IID_NULL, names, 3, LOCALE_USER_DEFAULT, ids));
    EXPECT_EQ(12345, ids[0]);
    EXPECT_EQ(DISPID_UNKNOWN, ids[1]);
    EXPECT_EQ(12345, ids[2]);
    EXPECT_EQ(S_OK, object.GetIDsOfNames(IID_NULL, nullptr, 0, LOCALE_USER_DEFAULT, nullptr));
}

TEST(ImpIDispatch, PropertyGetYieldsWibble)
{
    CImpIDispatch object;
    DISPPARAMS none = {};
    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(S_OK, object.Invoke(12345, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr));
    ASSERT_EQ(VT_BSTR, result.vt);
    EXPECT_EQ(std::wstring(L"Wibble"), result.bstrVal);
    VariantClear(&result);

    struct Case
    {
        DISPID id;
        WORD flags;
    } const untouched[] = {{12345, DISPATCH_METHOD}, {1, DISPATCH_PROPERTYGET}, {DISPID_UNKNOWN, DISPATCH_PROPERTYGET}};
    for (const Case& c : untouched)
    {
        result.vt = VT_I4;
        result.lVal = 77;
        EXPECT_EQ(S_OK, object.Invoke(c.id, IID_NULL, 0, c.flags, &none, &result, nullptr, nullptr));
        EXPECT_EQ(VT_I4, result.vt);
        EXPECT_EQ(77, result.lVal);
    }
    EXPECT_EQ(S_OK, object.Invoke(12345, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, nullptr, nullptr, nullptr));
    EXPECT_EQ(E_NOTIMPL, object.GetTypeInfoCount(nullptr));
    EXPECT_EQ(E_NOTIMPL, object.GetTypeInfo(0, 0, nullptr));
}

// The methods the external object does not implement say so, once each, where the diagnostic log would have it; with
// nobody listening they say nothing and keep their one line for a listener that comes later.
TEST(ImpIDispatch, StubsSayTheyAreStubsOnce)
{
    static std::vector<std::string> lines;
    CImpIDispatch object;
    UINT count = 7;
    EXPECT_EQ(E_NOTIMPL, object.GetTypeInfoCount(&count));
    EXPECT_TRUE(lines.empty());

    const AfxDiagnosticWriter previous = AfxSetDiagnosticWriter([](const char* line) { lines.push_back(line); });
    EXPECT_EQ(E_NOTIMPL, object.GetTypeInfoCount(&count));
    EXPECT_EQ(E_NOTIMPL, object.GetTypeInfoCount(&count));
    ITypeInfo* info = nullptr;
    EXPECT_EQ(E_NOTIMPL, object.GetTypeInfo(0, 0, &info));
    AfxSetDiagnosticWriter(previous);
    EXPECT_EQ((std::vector<std::string>{"stub: IDispatch::GetTypeInfoCount (external object) called (first call)",
                                        "stub: IDispatch::GetTypeInfo (external object) called (first call)"}),
              lines);
}
