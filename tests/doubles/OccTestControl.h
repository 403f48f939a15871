#pragma once

// An ActiveX control implemented inside the test program and registered for it at run time: just enough of a
// control for the container to create, activate, talk to, receive events from and tear down. It writes what the
// container does to it into a log, and gives the tests its state.

#include "framework/Afx.h"

#include <string>
#include <vector>

namespace occtest
{

// {6F1C2B9E-4D3A-4E8F-9A51-2C7B3E0D1F42}: names its events through IProvideClassInfo2, wants its client site
// before its initialisation.
extern const CLSID kFullControl;
// {6F1C2B9E-4D3A-4E8F-9A51-2C7B3E0D1F43}: names its events only through the type information of its class, and
// is initialised before it gets its client site.
extern const CLSID kTypeInfoControl;
// The control's event interface.
extern const IID kEventsIid;
// An interface that only the tests' own site answers for.
extern const IID kHostHookIid;

struct ITestHostHook : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE Ping(LONG value, LONG* answer) = 0;
};

// Dispatch identifiers the control answers.
enum : DISPID
{
    kDispValue = 1, // property, VT_I4
    kDispTouch = 2, // method (VARIANT* v): sets *v to VT_I4 (what it held as a number) + 1
    kDispName = 3,  // property get: BSTR "测试"
    kDispFail = 4,  // method: raises an exception (E_ACCESSDENIED, "denied")
    kDispNavigate = 104,
};

// An argument as the control received it, in call order.
struct CReceivedArg
{
    VARTYPE vt = VT_EMPTY;
    std::wstring text;      // VT_BSTR
    LONG number = 0;        // VT_I4, or what a VT_BYREF | VT_VARIANT argument held as VT_I4
    VARIANT* ref = nullptr; // VT_BYREF | VT_VARIANT
};

struct CReceivedCall
{
    DISPID dispid = 0;
    WORD flags = 0;
    UINT namedCount = 0;
    DISPID firstNamed = 0;
    std::vector<CReceivedArg> args;
};

class CTestControl;

// What the container did to the controls, in order, over all instances; the tests clear it.
std::vector<std::string>& ControlLog();
// The most recently created control that still exists, or null.
CTestControl* LastControl();
// Registers both control classes with COM for this process (OLE must be initialised).
HRESULT RegisterControls();
void RevokeControls();
// Puts the full control in the web browser's place for this process; the window class must be registered
// (RegisterControls). refusing: every Navigate and Refresh is refused with an exception, as a browser control that
// refuses its address does.
HRESULT RegisterAsBrowser(bool refusing = false);
void RevokeBrowser();

class CTestControl : public IOleObject,
                     public IOleInPlaceObject,
                     public IOleInPlaceActiveObject,
                     public IPersistStreamInit,
                     public IProvideClassInfo2,
                     public IConnectionPointContainer,
                     public IDispatch
{
public:
    CTestControl(bool classInfo2, bool siteFirst);
    virtual ~CTestControl();

    // What the tests look at.
    HWND Window() const { return m_hwnd; }
    HWND InnerWindow() const { return m_inner; } // a child of the control's window
    IOleClientSite* ClientSite() const { return m_clientSite; }
    IDispatch* Dispatch() { return static_cast<IDispatch*>(this); }
    bool HasSink() const { return m_sink != nullptr; }
    // Calls the connected sink's Invoke with args given in call order; S_FALSE without a sink.
    HRESULT Fire(DISPID dispid, std::vector<VARIANT> args);
    // Reads an ambient property from the client site.
    HRESULT Ambient(DISPID dispid, VARIANT* value);

    RECT m_posRect = {};          // from GetWindowContext
    HWND m_frameWindow = nullptr; // from GetWindowContext
    RECT m_lastObjectRects = {};  // from SetObjectRects
    int m_objectRectsCalls = 0;
    HRESULT m_hookResult = E_FAIL; // the client site's answer for kHostHookIid when it was set
    LONG m_hookAnswer = 0;         // ITestHostHook::Ping(20) on it
    CReceivedCall m_lastCall;
    LONG m_value = 0;
    bool m_holdSinkWhileFiring = true; // false: a careless control that does not hold the sink during an event

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* site) override;
    STDMETHODIMP GetClientSite(IOleClientSite** site) override;
    STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP Close(DWORD saveOption) override;
    STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT rect) override;
    STDMETHODIMP EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
    STDMETHODIMP Update() override { return S_OK; }
    STDMETHODIMP IsUpToDate() override { return S_OK; }
    STDMETHODIMP GetUserClassID(CLSID* clsid) override;
    STDMETHODIMP GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
    STDMETHODIMP SetExtent(DWORD, SIZEL*) override { return S_OK; }
    STDMETHODIMP GetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
    STDMETHODIMP Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP Unadvise(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
    STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
    STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject
    STDMETHODIMP GetWindow(HWND* hwnd) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP InPlaceDeactivate() override;
    STDMETHODIMP UIDeactivate() override { return S_OK; }
    STDMETHODIMP SetObjectRects(LPCRECT pos, LPCRECT clip) override;
    STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP TranslateAccelerator(LPMSG msg) override;
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }

    // IPersistStreamInit
    STDMETHODIMP GetClassID(CLSID* clsid) override { return GetUserClassID(clsid); }
    STDMETHODIMP IsDirty() override { return S_FALSE; }
    STDMETHODIMP Load(LPSTREAM) override { return E_NOTIMPL; }
    STDMETHODIMP Save(LPSTREAM, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER*) override { return E_NOTIMPL; }
    STDMETHODIMP InitNew() override;

    // IProvideClassInfo2
    STDMETHODIMP GetClassInfo(ITypeInfo** info) override;
    STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override;

    // IConnectionPointContainer
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID dispid, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argError) override;

private:
    // The one connection point, for kEventsIid; it lives and counts with the control.
    class CPoint : public IConnectionPoint
    {
    public:
        explicit CPoint(CTestControl* owner) : m_owner(owner) {}
        STDMETHODIMP QueryInterface(REFIID iid, void** ppv) override;
        STDMETHODIMP_(ULONG) AddRef() override { return m_owner->AddRef(); }
        STDMETHODIMP_(ULONG) Release() override { return m_owner->Release(); }
        STDMETHODIMP GetConnectionInterface(IID* iid) override;
        STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) override;
        STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
        STDMETHODIMP Unadvise(DWORD cookie) override;
        STDMETHODIMP EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

    private:
        CTestControl* m_owner;
    };

    HRESULT Activate(IOleClientSite* site, HWND parent);

    LONG m_ref = 1;
    bool m_classInfo2;
    bool m_siteFirst;
    CPoint m_point{this};
    IOleClientSite* m_clientSite = nullptr;
    IOleInPlaceSite* m_inPlaceSite = nullptr;
    IOleInPlaceFrame* m_frame = nullptr;
    IOleInPlaceUIWindow* m_document = nullptr;
    IDispatch* m_sink = nullptr;
    HWND m_hwnd = nullptr;
    HWND m_inner = nullptr;
};

} // namespace occtest
