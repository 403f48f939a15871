// The ActiveX control container under Wine: dialogs whose templates name controls by class identifier get those
// controls created in sites of the installed manager, events reach event maps, dispatch calls reach the controls,
// and teardown runs in its fixed order. The control is the test program's own (OccTestControl), plus one test with
// the system's web browser.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <mshtmhst.h>

#include "framework/Dialog.h"
#include "host/WebBrowser.h"
#include "framework/MessageLoop.h"
#include "framework/OccManager.h"
#include "tests/doubles/OccTestControl.h"
#include "tests/framework/OccTestResource.h"
#include "tests/support/OleForTests.h"
#include "tests/support/PumpUntil.h"
#include "tests/support/TestWindows.h"

using occtest::ControlLog;
using occtest::CTestControl;
using occtest::LastControl;

namespace
{

using Log = std::vector<std::string>;

// ---- a site and a manager of the tests' own ----

// A site that adds one interface of its own, the way the client's site adds its UI handler.
class CTestSite : public COleControlSite
{
public:
    explicit CTestSite(COleControlContainer* container) : COleControlSite(container) {}
    ~CTestSite() override { ControlLog().push_back("site deleted (refs " + std::to_string(m_dwRef) + ")"); }

    ULONG RefCount() const { return m_dwRef; }
    occtest::ITestHostHook* Hook() { return &m_xTestHostHook; }
    // Every interface any site of this class was asked for, in order.
    static std::vector<IID>& AskedFor()
    {
        static std::vector<IID> asked;
        return asked;
    }

protected:
    void* GetInterfaceHook(REFIID iid) override
    {
        AskedFor().push_back(iid);
        if (iid == occtest::kHostHookIid)
            return static_cast<occtest::ITestHostHook*>(&m_xTestHostHook);
        return COleControlSite::GetInterfaceHook(iid);
    }

    class XTestHostHook : public CInterfacePart<CTestSite, occtest::ITestHostHook>
    {
    public:
        using CInterfacePart::CInterfacePart;
        STDMETHODIMP Ping(LONG value, LONG* answer) override
        {
            METHOD_PROLOGUE(CTestSite, TestHostHook)
            *answer = value * 100 + static_cast<LONG>(pThis->m_nID); // proves pThis is this control's site
            return S_OK;
        }
    } m_xTestHostHook{this};
};

class CTestOccManager : public COccManager
{
public:
    COleControlSite* CreateSite(COleControlContainer* container) override { return new CTestSite(container); }
};

// ---- a dialog with an event map ----

struct CNavigation
{
    IDispatch* browser = nullptr;
    VARIANT* url = nullptr;
    std::wstring urlText;
    VARIANT* flags = nullptr;
    VARIANT* target = nullptr;
    VARIANT* postData = nullptr;
    VARIANT* headers = nullptr;
    VARIANT_BOOL* cancel = nullptr;
};

std::wstring TextOf(const VARIANT* v)
{
    if (!v)
        return L"<null>";
    if (v->vt == VT_BSTR)
        return v->bstrVal ? v->bstrVal : L"";
    if (v->vt == (VT_BYREF | VT_BSTR))
        return v->pbstrVal && *v->pbstrVal ? *v->pbstrVal : L"";
    return L"<vt " + std::to_wstring(v->vt) + L">";
}

std::string Narrow(const wchar_t* text)
{
    std::string result;
    for (; text && *text; ++text)
        result += *text < 128 ? static_cast<char>(*text) : '?';
    return result;
}

class CTestOccDlg : public CDialog
{
public:
    explicit CTestOccDlg(UINT templateId = IDD_OCC_CONTROL, int boundId = 1001)
        : CDialog(templateId), m_templateId(templateId), m_boundId(boundId)
    {
    }

    BOOL Create() { return CDialog::Create(m_templateId); }
    bool Event(UINT id, DISPID dispid, DISPPARAMS* params) { return OnEvent(id, dispid, params); }

    COleControlWnd m_control;
    std::function<void(CTestOccDlg&)> m_onInit;
    std::function<void(CTestOccDlg&)> m_onStatus;
    bool m_cancel = false;
    Log m_events;
    std::vector<CNavigation> m_navigations;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, m_boundId, m_control); }
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        if (m_onInit)
            m_onInit(*this);
        return TRUE;
    }

    void OnBeforeNavigate2(IDispatch* browser, VARIANT* url, VARIANT* flags, VARIANT* target, VARIANT* postData,
                           VARIANT* headers, VARIANT_BOOL* cancel)
    {
        m_navigations.push_back({browser, url, TextOf(url), flags, target, postData, headers, cancel});
        m_events.push_back("BeforeNavigate2(" + Narrow(TextOf(url).c_str()) + ")");
        *cancel = m_cancel ? VARIANT_TRUE : VARIANT_FALSE;
    }
    void OnNavigateComplete2(IDispatch* browser, VARIANT* url)
    {
        m_events.push_back(std::string("NavigateComplete2(") + (browser ? "browser" : "null") + "," +
                           Narrow(TextOf(url).c_str()) + ")");
    }
    void OnStatus(long code, BSTR text)
    {
        m_events.push_back("Status(" + std::to_string(code) + "," + Narrow(text) + ")");
        if (m_onStatus)
            m_onStatus(*this);
    }
    BOOL OnDeclined(long code)
    {
        m_events.push_back("Declined(" + std::to_string(code) + ")");
        return FALSE;
    }
    void OnThrows()
    {
        m_events.push_back("Throws");
        throw std::runtime_error("handler failed");
    }
    void OnOtherStatus(long code, BSTR text)
    {
        m_events.push_back("OtherStatus(" + std::to_string(code) + "," + Narrow(text) + ")");
    }

    DECLARE_EVENTSINK_MAP()

private:
    UINT m_templateId;
    int m_boundId;
};

BEGIN_EVENTSINK_MAP(CTestOccDlg, CDialog)
ON_EVENT(CTestOccDlg, 1001, 250, OnBeforeNavigate2,
         VTS_DISPATCH VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PBOOL)
ON_EVENT(CTestOccDlg, 1001, 252, OnNavigateComplete2, VTS_DISPATCH VTS_PVARIANT)
ON_EVENT(CTestOccDlg, 1001, 7, OnStatus, VTS_I4 VTS_BSTR)
ON_EVENT(CTestOccDlg, 1001, 8, OnDeclined, VTS_I4)
ON_EVENT(CTestOccDlg, 1001, 9, OnThrows, VTS_NONE)
ON_EVENT(CTestOccDlg, 1002, 7, OnOtherStatus, VTS_I4 VTS_BSTR)
END_EVENTSINK_MAP()

// ---- variants ----

VARIANT I4(LONG value)
{
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

VARIANT Text(const wchar_t* text)
{
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = ::SysAllocString(text);
    return v;
}

VARIANT Bool(bool value)
{
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_BOOL;
    v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

VARIANT Disp(IDispatch* dispatch)
{
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_DISPATCH;
    v.pdispVal = dispatch; // borrowed: never cleared
    return v;
}

template <class T> VARIANT Ref(T* target, VARTYPE type)
{
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_BYREF | type;
    v.byref = target;
    return v;
}

VARIANT Ref(VARIANT* target)
{
    return Ref(target, VT_VARIANT);
}

VARIANT Ref(VARIANT_BOOL* target)
{
    return Ref(target, VT_BOOL);
}

// Clears what the arguments own (texts); references and borrowed objects are left alone.
void ClearArgs(std::vector<VARIANT>& args)
{
    for (VARIANT& v : args)
    {
        if (v.vt == VT_BSTR)
            ::VariantClear(&v);
    }
}

// ---- fixture ----

class OccTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { s_ole = std::make_unique<COleForTests>(); }
    static void TearDownTestSuite() { s_ole.reset(); }

    void SetUp() override
    {
        ASSERT_TRUE(s_ole->Ok());
        AfxEnableControlContainer(nullptr);
        ControlLog().clear();
        CTestSite::AskedFor().clear();
    }
    void TearDown() override
    {
        PumpOnce();
        AfxEnableControlContainer(nullptr);
    }

    static inline std::unique_ptr<COleForTests> s_ole;
};

// ---- creation ----

struct CreationCase
{
    const char* name;
    UINT templateId;
    int controlId;
    RECT dluRect;
    bool visible;
    Log creationLog;
    int previousId; // the sibling right before the control in z (tab) order; 0: the control comes first
    int nextId;
};

TEST_F(OccTest, CreatesEachControlAtItsTemplatePlaceWithItsIdVisibilityAndTabOrder)
{
    const CreationCase cases[] = {
        {"client site before initialisation, hidden, between two buttons",
         IDD_OCC_CONTROL,
         1001,
         {7, 7, 107, 57},
         false,
         {"SetClientSite(site)", "InitNew", "Advise", "DoVerb(-5)"},
         IDOK,
         IDCANCEL},
        {"initialisation before client site, visible, after a label without id",
         IDD_OCC_TYPEINFO,
         1002,
         {7, 7, 87, 47},
         true,
         {"InitNew", "SetClientSite(site)", "Advise", "DoVerb(-5)"},
         -1,
         IDCANCEL},
    };
    for (const CreationCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        ControlLog().clear();
        CTestOccDlg dlg(c.templateId, c.controlId);
        ASSERT_TRUE(dlg.Create());
        CTestControl* control = LastControl();
        ASSERT_NE(nullptr, control);
        EXPECT_EQ(c.creationLog, ControlLog());

        HWND hwnd = control->Window();
        ASSERT_NE(nullptr, hwnd);
        EXPECT_EQ(dlg.m_hWnd, ::GetParent(hwnd));
        EXPECT_EQ(c.controlId, ::GetDlgCtrlID(hwnd));
        EXPECT_EQ(hwnd, dlg.GetDlgItem(c.controlId));

        RECT expected = c.dluRect;
        ASSERT_TRUE(::MapDialogRect(dlg.m_hWnd, &expected));
        EXPECT_TRUE(Same(expected, ChildRect(hwnd)));
        EXPECT_TRUE(Same(expected, control->m_posRect));
        EXPECT_EQ(dlg.m_hWnd, control->m_frameWindow);

        const LONG style = ::GetWindowLongW(hwnd, GWL_STYLE);
        EXPECT_EQ(c.visible, (style & WS_VISIBLE) != 0);
        EXPECT_NE(0, style & WS_TABSTOP);
        HWND previous = ::GetWindow(hwnd, GW_HWNDPREV);
        EXPECT_EQ(c.previousId, previous ? ::GetDlgCtrlID(previous) : 0);
        HWND next = ::GetWindow(hwnd, GW_HWNDNEXT);
        EXPECT_EQ(c.nextId, next ? ::GetDlgCtrlID(next) : 0);

        // Bound by data exchange, connected for events.
        EXPECT_EQ(hwnd, dlg.m_control.m_hWnd);
        ASSERT_NE(nullptr, dlg.m_control.ControlSite());
        EXPECT_EQ(static_cast<UINT>(c.controlId), dlg.m_control.ControlSite()->m_nID);
        EXPECT_EQ(dlg.m_control.ControlSite(), dlg.m_pCtrlCont->FindSite(c.controlId));
        EXPECT_TRUE(control->HasSink());
        EXPECT_TRUE(::IsEqualIID(occtest::kEventsIid, dlg.m_control.ControlSite()->EventInterface()));
        dlg.DestroyWindow();
    }
}

TEST_F(OccTest, HiddenControlShowsThroughItsWrapper)
{
    CTestOccDlg dlg;
    ASSERT_TRUE(dlg.Create());
    dlg.ShowWindow(SW_SHOWNA);
    ASSERT_NE(nullptr, dlg.m_control.m_hWnd);
    EXPECT_FALSE(dlg.m_control.IsWindowVisible());
    dlg.m_control.ShowWindow(SW_SHOW);
    EXPECT_TRUE(dlg.m_control.IsWindowVisible());
    dlg.DestroyWindow();
}

TEST_F(OccTest, ControlThatCannotBeCreatedIsLeftOutAndTheDialogStillWorks)
{
    CTestOccManager manager;
    AfxEnableControlContainer(&manager);
    CTestOccDlg dlg(IDD_OCC_TYPEINFO, 1002);
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ(nullptr, dlg.GetDlgItem(1003));
    ASSERT_NE(nullptr, dlg.m_pCtrlCont);
    EXPECT_EQ(nullptr, dlg.m_pCtrlCont->FindSite(1003));
    ASSERT_EQ(1u, dlg.m_pCtrlCont->m_sites.size());
    EXPECT_EQ(1002u, dlg.m_pCtrlCont->m_sites[0]->m_nID);
    EXPECT_NE(nullptr, dlg.GetDlgItem(IDCANCEL));
    // The site made for the control that failed is gone already; the other one is still there.
    EXPECT_EQ(1, std::count(ControlLog().begin(), ControlLog().end(), "site deleted (refs 0)"));
    EXPECT_NE(nullptr, dlg.m_control.m_hWnd);
    dlg.DestroyWindow();
}

// ---- the site as the control sees it ----

TEST_F(OccTest, CustomSiteAnswersForItsOwnInterfaceAndKeepsEveryInterfaceOfTheBase)
{
    CTestOccManager customManager;
    struct Case
    {
        const char* name;
        COccManager* manager;
        bool custom;
    };
    const Case cases[] = {{"framework's site", nullptr, false}, {"custom site", &customManager, true}};
    const IID* baseInterfaces[] = {&IID_IOleClientSite, &IID_IOleInPlaceSite, &IID_IOleWindow, &IID_IOleControlSite,
                                   &IID_IDispatch};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        AfxEnableControlContainer(c.manager);
        CTestOccDlg dlg;
        ASSERT_TRUE(dlg.Create());
        CTestControl* control = LastControl();
        ASSERT_NE(nullptr, control);
        IOleClientSite* clientSite = control->ClientSite();
        ASSERT_NE(nullptr, clientSite);

        for (const IID* iid : baseInterfaces)
        {
            IUnknown* p = nullptr;
            EXPECT_EQ(S_OK, clientSite->QueryInterface(*iid, reinterpret_cast<void**>(&p)));
            if (p)
                p->Release();
        }
        if (!c.custom)
        {
            EXPECT_EQ(E_NOINTERFACE, control->m_hookResult);
            dlg.DestroyWindow();
            continue;
        }

        CTestSite* site = dynamic_cast<CTestSite*>(dlg.m_control.ControlSite());
        ASSERT_NE(nullptr, site);
        // Asked while the client site was being set, answered by the nested object of this very site.
        EXPECT_EQ(S_OK, control->m_hookResult);
        EXPECT_EQ(20 * 100 + 1001, control->m_hookAnswer);

        const ULONG before = site->RefCount();
        occtest::ITestHostHook* hook = nullptr;
        ASSERT_EQ(S_OK, clientSite->QueryInterface(occtest::kHostHookIid, reinterpret_cast<void**>(&hook)));
        EXPECT_EQ(site->Hook(), hook);
        EXPECT_EQ(before + 1, site->RefCount());
        EXPECT_EQ(before + 2, hook->AddRef());
        EXPECT_EQ(before + 2, site->RefCount());
        EXPECT_EQ(before + 1, hook->Release());
        EXPECT_EQ(before + 1, site->RefCount());

        // One identity: the nested object leads to the base interfaces and to the same IUnknown.
        for (const IID* iid : baseInterfaces)
        {
            IUnknown* p = nullptr;
            EXPECT_EQ(S_OK, hook->QueryInterface(*iid, reinterpret_cast<void**>(&p)));
            if (p)
                p->Release();
        }
        IUnknown* fromHook = nullptr;
        IUnknown* fromSite = nullptr;
        ASSERT_EQ(S_OK, hook->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&fromHook)));
        ASSERT_EQ(S_OK, clientSite->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&fromSite)));
        EXPECT_EQ(fromSite, fromHook);
        fromHook->Release();
        fromSite->Release();
        hook->Release();
        EXPECT_EQ(before, site->RefCount());
        dlg.DestroyWindow();
    }
}

TEST_F(OccTest, AmbientPropertiesSayUserModeAndNothingElseIsKnown)
{
    struct Case
    {
        const char* name;
        DISPID dispid;
        HRESULT result;
        VARIANT_BOOL value;
    };
    const Case cases[] = {
        {"user mode", DISPID_AMBIENT_USERMODE, S_OK, VARIANT_TRUE},
        {"UI dead", DISPID_AMBIENT_UIDEAD, S_OK, VARIANT_FALSE},
        {"show hatching", DISPID_AMBIENT_SHOWHATCHING, S_OK, VARIANT_FALSE},
        {"show grab handles", DISPID_AMBIENT_SHOWGRABHANDLES, S_OK, VARIANT_FALSE},
        {"back colour", DISPID_AMBIENT_BACKCOLOR, DISP_E_MEMBERNOTFOUND, 0},
        {"locale", DISPID_AMBIENT_LOCALEID, DISP_E_MEMBERNOTFOUND, 0},
        {"made up", 4242, DISP_E_MEMBERNOTFOUND, 0},
    };
    CTestOccDlg dlg;
    ASSERT_TRUE(dlg.Create());
    CTestControl* control = LastControl();
    ASSERT_NE(nullptr, control);
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        VARIANT value;
        ::VariantInit(&value);
        EXPECT_EQ(c.result, control->Ambient(c.dispid, &value));
        if (c.result == S_OK)
        {
            EXPECT_EQ(VT_BOOL, value.vt);
            EXPECT_EQ(c.value, value.boolVal);
        }
        ::VariantClear(&value);
    }
    dlg.DestroyWindow();
}

// ---- events ----

TEST_F(OccTest, BrowserEventsReachTheEventMapWithTypedArgumentsAndTheCancelFlagWritesBack)
{
    CTestOccDlg dlg;
    ASSERT_TRUE(dlg.Create());
    CTestControl* control = LastControl();
    ASSERT_NE(nullptr, control);
    ASSERT_TRUE(control->HasSink());

    VARIANT url = Text(L"http://example.invalid/start");
    VARIANT flags = I4(0);
    VARIANT target = Text(L"_self");
    VARIANT postData;
    ::VariantInit(&postData);
    VARIANT headers = Text(L"X-Test: 1");
    VARIANT_BOOL cancel = VARIANT_FALSE;
    dlg.m_cancel = true;
    EXPECT_EQ(S_OK, control->Fire(250, {Disp(control->Dispatch()), Ref(&url), Ref(&flags), Ref(&target), Ref(&postData),
                                        Ref(&headers), Ref(&cancel)}));
    ASSERT_EQ(1u, dlg.m_navigations.size());
    const CNavigation& n = dlg.m_navigations[0];
    EXPECT_EQ(control->Dispatch(), n.browser);
    EXPECT_EQ(&url, n.url); // the control's own variants, by reference
    EXPECT_EQ(L"http://example.invalid/start", n.urlText);
    EXPECT_EQ(&flags, n.flags);
    EXPECT_EQ(&target, n.target);
    EXPECT_EQ(&postData, n.postData);
    EXPECT_EQ(&headers, n.headers);
    EXPECT_EQ(&cancel, n.cancel);
    EXPECT_EQ(VARIANT_TRUE, cancel);

    // The address of a completed navigation may come as a plain variant rather than by reference.
    std::vector<VARIANT> complete = {Disp(control->Dispatch()), Text(L"http://example.invalid/done")};
    EXPECT_EQ(S_OK, control->Fire(252, complete));
    ClearArgs(complete);
    EXPECT_EQ((Log{"BeforeNavigate2(http://example.invalid/start)",
                   "NavigateComplete2(browser,http://example.invalid/done)"}),
              dlg.m_events);

    ::VariantClear(&url);
    ::VariantClear(&target);
    ::VariantClear(&headers);
    dlg.DestroyWindow();
}

struct CEventStorage
{
    LONG number = 6;
    BSTR text = ::SysAllocString(L"six");
    VARIANT_BOOL flag = VARIANT_FALSE;
    VARIANT variant = {};
    ~CEventStorage() { ::SysFreeString(text); }
};

struct EventCase
{
    const char* name;
    UINT id;
    DISPID dispid;
    std::vector<VARIANT> (*args)(CEventStorage&); // in call order
    bool handled;
    Log events;
};

TEST_F(OccTest, EventMapConvertsArgumentsOrPassesTheEventOn)
{
    const EventCase cases[] = {
        // valid
        {"number and text as they are",
         1001,
         7,
         [](CEventStorage&) {
             return std::vector<VARIANT>{I4(5), Text(L"five")};
         },
         true,
         {"Status(5,five)"}},
        {"number and text by reference",
         1001,
         7,
         [](CEventStorage& s) {
             return std::vector<VARIANT>{Ref(&s.number, VT_I4), Ref(&s.text, VT_BSTR)};
         },
         true,
         {"Status(6,six)"}},
        {"number and text converted",
         1001,
         7,
         [](CEventStorage&) {
             return std::vector<VARIANT>{Text(L"12"), I4(34)};
         },
         true,
         {"Status(12,34)"}},
        {"same event of another control",
         1002,
         7,
         [](CEventStorage&) {
             return std::vector<VARIANT>{I4(1), Text(L"other")};
         },
         true,
         {"OtherStatus(1,other)"}},
        {"no arguments", 1001, 9, [](CEventStorage&) { return std::vector<VARIANT>{}; }, true, {"Throws"}},
        // passed on
        {"handler that declines",
         1001,
         8,
         [](CEventStorage&) { return std::vector<VARIANT>{I4(3)}; },
         false,
         {"Declined(3)"}},
        {"text that is no number",
         1001,
         7,
         [](CEventStorage&) {
             return std::vector<VARIANT>{Text(L"twelve"), I4(1)};
         },
         false,
         {}},
        {"too few arguments", 1001, 7, [](CEventStorage&) { return std::vector<VARIANT>{I4(5)}; }, false, {}},
        {"too many arguments",
         1001,
         7,
         [](CEventStorage&) {
             return std::vector<VARIANT>{I4(5), Text(L"x"), I4(6)};
         },
         false,
         {}},
        {"cancel flag not by reference",
         1001,
         250,
         [](CEventStorage& s)
         {
             return std::vector<VARIANT>{Disp(nullptr),   Ref(&s.variant), Ref(&s.variant), Ref(&s.variant),
                                         Ref(&s.variant), Ref(&s.variant), Bool(false)};
         },
         false,
         {}},
        {"event the map does not name",
         1001,
         77,
         [](CEventStorage&) { return std::vector<VARIANT>{I4(5)}; },
         false,
         {}},
        {"control the map does not name",
         1005,
         7,
         [](CEventStorage&) {
             return std::vector<VARIANT>{I4(5), Text(L"x")};
         },
         false,
         {}},
    };
    for (const EventCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        CTestOccDlg dlg; // the map needs no window
        CEventStorage storage;
        std::vector<VARIANT> args = c.args(storage);
        std::vector<VARIANT> reversed(args.rbegin(), args.rend());
        DISPPARAMS params = {reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()),
                             0};
        EXPECT_EQ(c.handled, dlg.Event(c.id, c.dispid, &params));
        EXPECT_EQ(c.events, dlg.m_events);
        ClearArgs(args);
    }
}

TEST_F(OccTest, EventsOfEachControlArriveWithItsOwnId)
{
    CTestOccDlg dlg(IDD_OCC_TYPEINFO, 1002);
    ASSERT_TRUE(dlg.Create());
    CTestControl* control = LastControl();
    ASSERT_NE(nullptr, control);
    // This control names its events through its type information only.
    ASSERT_TRUE(control->HasSink());
    std::vector<VARIANT> args = {I4(4), Text(L"four")};
    EXPECT_EQ(S_OK, control->Fire(7, args));
    ClearArgs(args);
    EXPECT_EQ(Log{"OtherStatus(4,four)"}, dlg.m_events);
    dlg.DestroyWindow();
}

TEST_F(OccTest, HandlerThatDestroysTheDialogDuringAnEventKeepsTheSiteUntilItReturns)
{
    CTestOccManager manager;
    AfxEnableControlContainer(&manager);
    CTestOccDlg dlg;
    ASSERT_TRUE(dlg.Create());
    CTestControl* control = LastControl();
    ASSERT_NE(nullptr, control);
    control->m_holdSinkWhileFiring = false; // only the container's own reference protects the site
    dlg.m_onStatus = [](CTestOccDlg& d)
    {
        d.DestroyWindow();
        ControlLog().push_back("handler done");
    };
    ControlLog().clear();
    std::vector<VARIANT> args = {I4(1), Text(L"bye")};
    EXPECT_EQ(S_OK, control->Fire(7, args));
    ClearArgs(args);
    EXPECT_EQ((Log{"InPlaceDeactivate", "Unadvise", "Close(1)", "SetClientSite(null)", "handler done",
                   "site deleted (refs 0)", "fired", "destroyed"}),
              ControlLog());
    EXPECT_EQ(nullptr, dlg.m_hWnd);
    EXPECT_EQ(nullptr, dlg.m_control.ControlSite());
}

// ---- dispatch calls ----

TEST_F(OccTest, InvokeHelperPassesTextVariantsAndNumbersInCallOrder)
{
    CTestOccDlg dlg;
    ASSERT_TRUE(dlg.Create());
    CTestControl* control = LastControl();
    ASSERT_NE(nullptr, control);
    COleControlWnd& wrapper = dlg.m_control;

    // Navigate: the address as narrow text of the thread's code page, then four empty variants by reference.
    const CAnsiString address("http://127.0.0.1/\xC3\xA9");
    wchar_t expectedAddress[64] = {};
    ASSERT_LT(0, ::MultiByteToWideChar(CP_THREAD_ACP, 0, address.Ansi(), -1, expectedAddress, 64));
    VARIANT empty[4];
    for (VARIANT& v : empty)
        ::VariantInit(&v);
    EXPECT_NO_THROW(wrapper.InvokeHelper(occtest::kDispNavigate, DISPATCH_METHOD, VT_EMPTY, nullptr, address, &empty[0],
                                         &empty[1], &empty[2], &empty[3]));
    const occtest::CReceivedCall& call = control->m_lastCall;
    EXPECT_EQ(occtest::kDispNavigate, call.dispid);
    EXPECT_EQ(DISPATCH_METHOD, call.flags);
    EXPECT_EQ(0u, call.namedCount);
    ASSERT_EQ(5u, call.args.size());
    EXPECT_EQ(VT_BSTR, call.args[0].vt);
    EXPECT_EQ(std::wstring(expectedAddress), call.args[0].text);
    if (::GetACP() != CP_UTF8)
    {
        EXPECT_NE(L"http://127.0.0.1/\u00e9", call.args[0].text); // not read as UTF-8
    }
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_EQ(VT_BYREF | VT_VARIANT, call.args[i + 1].vt);
        EXPECT_EQ(&empty[i], call.args[i + 1].ref);
    }

    // Refresh: no arguments.
    EXPECT_NO_THROW(wrapper.InvokeHelper(DISPID_REFRESH, DISPATCH_METHOD, VT_EMPTY, nullptr));
    EXPECT_EQ(DISPID_REFRESH, control->m_lastCall.dispid);
    EXPECT_TRUE(control->m_lastCall.args.empty());

    // A variant by reference comes back written.
    VARIANT counter = I4(41);
    wrapper.InvokeHelper(occtest::kDispTouch, DISPATCH_METHOD, VT_EMPTY, nullptr, &counter);
    EXPECT_EQ(VT_I4, counter.vt);
    EXPECT_EQ(42, counter.lVal);

    // Properties: put as a named argument, numbers as long or int, results as long, text or variant.
    wrapper.InvokeHelper(occtest::kDispValue, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, 7L);
    EXPECT_EQ(7, control->m_value);
    EXPECT_EQ(1u, control->m_lastCall.namedCount);
    EXPECT_EQ(DISPID_PROPERTYPUT, control->m_lastCall.firstNamed);
    wrapper.InvokeHelper(occtest::kDispValue, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, 8);
    long value = 0;
    wrapper.InvokeHelper(occtest::kDispValue, DISPATCH_PROPERTYGET, VT_I4, &value);
    EXPECT_EQ(8, value);
    BSTR name = nullptr;
    wrapper.InvokeHelper(occtest::kDispName, DISPATCH_PROPERTYGET, VT_BSTR, &name);
    EXPECT_EQ(std::wstring(L"测试"), std::wstring(name ? name : L""));
    ::SysFreeString(name);
    VARIANT any;
    ::VariantInit(&any);
    wrapper.InvokeHelper(occtest::kDispValue, DISPATCH_PROPERTYGET, VT_VARIANT, &any);
    EXPECT_EQ(VT_I4, any.vt);
    EXPECT_EQ(8, any.lVal);
    ::VariantClear(&any);
    dlg.DestroyWindow();
}

TEST_F(OccTest, InvokeHelperThrowsWhenTheControlFails)
{
    struct Case
    {
        const char* name;
        void (*call)(COleControlWnd&);
        SCODE scode;
        std::string description;
    };
    const Case cases[] = {
        {"exception raised by the control",
         [](COleControlWnd& w) { w.InvokeHelper(occtest::kDispFail, DISPATCH_METHOD, VT_EMPTY, nullptr); },
         E_ACCESSDENIED, "denied"},
        {"unknown member",
         [](COleControlWnd& w) { w.InvokeHelper(77, DISPATCH_METHOD, VT_EMPTY, nullptr, CAnsiString("x")); },
         DISP_E_MEMBERNOTFOUND, ""},
        {"argument of the wrong type",
         [](COleControlWnd& w) { w.InvokeHelper(occtest::kDispTouch, DISPATCH_METHOD, VT_EMPTY, nullptr, 5L); },
         DISP_E_TYPEMISMATCH, ""},
        {"result of an unsupported type",
         [](COleControlWnd& w)
         {
             double result = 0;
             w.InvokeHelper(occtest::kDispValue, DISPATCH_PROPERTYGET, VT_R8, &result);
         },
         DISP_E_BADVARTYPE, ""},
    };
    CTestOccDlg dlg;
    ASSERT_TRUE(dlg.Create());
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        try
        {
            c.call(dlg.m_control);
            ADD_FAILURE() << "no exception";
        }
        catch (const COleDispatchException& e)
        {
            EXPECT_EQ(c.scode, e.m_scError);
            EXPECT_EQ(c.description, e.m_strDescription);
        }
    }
    dlg.DestroyWindow();
}

// The browser wrapper's two calls, as the web window makes them: the address, then one empty variant four times.
TEST_F(OccTest, BrowserWrapperNavigatesAndRefreshes)
{
    CTestOccDlg dlg;
    ASSERT_TRUE(dlg.Create());
    CTestControl* control = LastControl();
    ASSERT_NE(nullptr, control);
    CWebBrowser browser;
    AfxAttachControlSite(browser, dlg.m_pCtrlCont->FindSite(1001));

    VARIANT empty;
    ::VariantInit(&empty);
    browser.Navigate(CAnsiString("http://www.lumora.example/zrkpt/inlinelogin/?channelid=0"), &empty, &empty, &empty,
                     &empty);
    const occtest::CReceivedCall& call = control->m_lastCall;
    EXPECT_EQ(104, call.dispid);
    EXPECT_EQ(DISPATCH_METHOD, call.flags);
    ASSERT_EQ(5u, call.args.size());
    EXPECT_EQ(VT_BSTR, call.args[0].vt);
    EXPECT_EQ(L"http://www.lumora.example/zrkpt/inlinelogin/?channelid=0", call.args[0].text);
    for (int i = 1; i < 5; ++i)
    {
        EXPECT_EQ(VT_BYREF | VT_VARIANT, call.args[i].vt);
        EXPECT_EQ(&empty, call.args[i].ref);
    }
    browser.Refresh();
    EXPECT_EQ(DISPID_REFRESH, control->m_lastCall.dispid);
    EXPECT_TRUE(control->m_lastCall.args.empty());

    // Once the control is gone the wrapper is bound to nothing, and its calls do nothing.
    dlg.DestroyWindow();
    EXPECT_EQ(nullptr, browser.ControlSite());
    EXPECT_NO_THROW(browser.Refresh());
}

TEST_F(OccTest, InvokeHelperOnAWrapperWithoutControlDoesNothing)
{
    COleControlWnd loose;
    long value = 5;
    EXPECT_NO_THROW(loose.InvokeHelper(occtest::kDispNavigate, DISPATCH_METHOD, VT_EMPTY, nullptr, CAnsiString("x")));
    EXPECT_NO_THROW(loose.InvokeHelper(occtest::kDispValue, DISPATCH_PROPERTYGET, VT_I4, &value));
    EXPECT_EQ(5, value);
}

// ---- moving and keyboard ----

TEST_F(OccTest, WrapperMovesTheControlThroughItsInPlaceObject)
{
    CTestOccDlg dlg;
    ASSERT_TRUE(dlg.Create());
    CTestControl* control = LastControl();
    ASSERT_NE(nullptr, control);
    const RECT moved = {20, 30, 220, 130};
    dlg.m_control.MoveWindow(moved);
    EXPECT_EQ(1, control->m_objectRectsCalls);
    EXPECT_TRUE(Same(moved, control->m_lastObjectRects));
    EXPECT_TRUE(Same(moved, ChildRect(control->Window())));
    dlg.m_control.MoveWindow(5, 6, 50, 40);
    EXPECT_TRUE(Same(RECT{5, 6, 55, 46}, control->m_lastObjectRects));
    EXPECT_TRUE(Same(RECT{5, 6, 55, 46}, ChildRect(control->Window())));
    dlg.DestroyWindow();
}

TEST_F(OccTest, KeyboardMessagesGoToTheControlThatHoldsTheirWindow)
{
    CTestOccDlg dlg;
    ASSERT_TRUE(dlg.Create());
    CTestControl* control = LastControl();
    ASSERT_NE(nullptr, control);
    struct Case
    {
        const char* name;
        HWND hwnd;
        UINT message;
        WPARAM key;
        bool taken;
        bool controlAsked;
    };
    const Case cases[] = {
        {"key the control takes", control->Window(), WM_KEYDOWN, VK_F5, true, true},
        {"in a child of the control", control->InnerWindow(), WM_KEYDOWN, VK_F5, true, true},
        {"key the control leaves", control->Window(), WM_KEYDOWN, VK_TAB, false, true},
        {"in another control of the dialog", dlg.GetDlgItem(IDOK), WM_KEYDOWN, VK_F5, false, false},
        {"in the dialog itself", dlg.m_hWnd, WM_KEYDOWN, VK_F5, false, false},
        {"not a keyboard message", control->Window(), WM_MOUSEMOVE, 0, false, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        ControlLog().clear();
        MSG msg = {c.hwnd, c.message, c.key, 0, 0, {0, 0}};
        EXPECT_EQ(c.taken, static_cast<bool>(dlg.PreTranslateControlMessage(&msg)));
        EXPECT_EQ(c.controlAsked, !ControlLog().empty());
    }
    // The message pump asks the same way, on its way up from the message's window.
    MSG refresh = {control->Window(), WM_KEYDOWN, VK_F5, 0, 0, {0, 0}};
    EXPECT_TRUE(AfxPreTranslateMessage(&refresh));
    dlg.DestroyWindow();
}

// ---- teardown ----

TEST_F(OccTest, TeardownRunsInItsFixedOrderAndTheWrapperCanBeBoundAgain)
{
    CTestOccManager manager;
    AfxEnableControlContainer(&manager);
    CTestOccDlg dlg;
    for (int round = 0; round < 2; ++round)
    {
        SCOPED_TRACE(round == 0 ? "first dialog" : "same dialog object again");
        ASSERT_TRUE(dlg.Create());
        HWND hwnd = dlg.m_control.m_hWnd;
        ASSERT_NE(nullptr, hwnd);
        EXPECT_EQ(hwnd, dlg.GetDlgItem(1001));
        ASSERT_NE(nullptr, dlg.m_control.ControlSite());

        ControlLog().clear();
        dlg.DestroyWindow();
        EXPECT_EQ((Log{"InPlaceDeactivate", "Unadvise", "Close(1)", "SetClientSite(null)", "destroyed",
                       "site deleted (refs 0)"}),
                  ControlLog());
        EXPECT_FALSE(::IsWindow(hwnd));
        EXPECT_EQ(nullptr, dlg.m_control.m_hWnd);
        EXPECT_EQ(nullptr, dlg.m_control.ControlSite());
        EXPECT_EQ(nullptr, dlg.m_pCtrlCont);
        EXPECT_EQ(nullptr, LastControl());
        EXPECT_NO_THROW(dlg.m_control.InvokeHelper(DISPID_REFRESH, DISPATCH_METHOD, VT_EMPTY, nullptr));
    }
}

TEST_F(OccTest, ModalDialogCreatesItsControlAndTearsItDownWhenItEnds)
{
    CTestOccDlg dlg;
    HWND seen = nullptr;
    int seenId = 0;
    dlg.m_onInit = [&](CTestOccDlg& d)
    {
        seen = d.m_control.m_hWnd;
        seenId = ::GetDlgCtrlID(seen);
        d.PostMessage(WM_COMMAND, IDOK);
    };
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_NE(nullptr, seen);
    EXPECT_EQ(1001, seenId);
    EXPECT_EQ((Log{"SetClientSite(site)", "InitNew", "Advise", "DoVerb(-5)", "InPlaceDeactivate", "Unadvise",
                   "Close(1)", "SetClientSite(null)", "destroyed"}),
              ControlLog());
    EXPECT_EQ(nullptr, dlg.m_control.m_hWnd);
    EXPECT_EQ(nullptr, dlg.m_control.ControlSite());
}

TEST_F(OccTest, SiteLetsGoOfAWrapperThatGoesFirst)
{
    CTestOccDlg dlg;
    ASSERT_TRUE(dlg.Create());
    COleControlSite* site = dlg.m_control.ControlSite();
    ASSERT_NE(nullptr, site);
    {
        COleControlWnd other;
        AfxAttachControlSite(other, site);
        EXPECT_EQ(site->m_hWnd, other.m_hWnd);
        EXPECT_EQ(&other, site->m_pWndCtrl);
        // One wrapper per control: the first one is let go.
        EXPECT_EQ(nullptr, dlg.m_control.m_hWnd);
        EXPECT_EQ(nullptr, dlg.m_control.ControlSite());
    }
    EXPECT_EQ(nullptr, site->m_pWndCtrl);
    dlg.DestroyWindow();
}

// ---- the system's web browser ----

TEST_F(OccTest, WebBrowserIsHostedAsksForTheUiHandlerAndReportsNavigation)
{
    CTestOccManager manager;
    AfxEnableControlContainer(&manager);
    CTestOccDlg dlg(IDD_OCC_BROWSER, 1001);
    ASSERT_TRUE(dlg.Create());
    HWND browser = dlg.GetDlgItem(1001);
    ASSERT_NE(nullptr, browser) << "the web browser control was not created";
    EXPECT_EQ(browser, dlg.m_control.m_hWnd);
    EXPECT_EQ(0, ::GetWindowLongW(browser, GWL_STYLE) & WS_VISIBLE);
    bool askedForHandler = false;
    for (const IID& iid : CTestSite::AskedFor())
        askedForHandler = askedForHandler || ::IsEqualIID(iid, IID_IDocHostUIHandler);
    EXPECT_TRUE(askedForHandler);
    // Shown later, as the web window does.
    dlg.ShowWindow(SW_SHOWNA);
    dlg.m_control.ShowWindow(SW_SHOW);
    EXPECT_TRUE(dlg.m_control.IsWindowVisible());

    dlg.m_cancel = true; // nothing is fetched
    VARIANT empty[4];
    for (VARIANT& v : empty)
        ::VariantInit(&v);
    const CAnsiString address("http://127.0.0.1:9/lumora-test");
    EXPECT_NO_THROW(dlg.m_control.InvokeHelper(104, DISPATCH_METHOD, VT_EMPTY, nullptr, address, &empty[0], &empty[1],
                                               &empty[2], &empty[3]));
    EXPECT_TRUE(PumpUntil([&] { return !dlg.m_navigations.empty(); }, 10000));
    ASSERT_FALSE(dlg.m_navigations.empty());
    EXPECT_NE(nullptr, dlg.m_navigations[0].browser);
    EXPECT_EQ(L"http://127.0.0.1:9/lumora-test", dlg.m_navigations[0].urlText);

    ControlLog().clear();
    dlg.DestroyWindow();
    PumpOnce();
    EXPECT_EQ(nullptr, dlg.m_control.ControlSite());
    EXPECT_EQ(Log{"site deleted (refs 0)"}, ControlLog());
}

} // namespace
