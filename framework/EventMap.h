#pragma once

#include "framework/Afx.h"
#include "framework/Guard.h"

#include <tuple>
#include <type_traits>
#include <utility>

// Event maps: the events of the ActiveX controls a dialog hosts, delivered to typed member functions.
//
// In the class:        DECLARE_EVENTSINK_MAP()
// In the source file:
//   BEGIN_EVENTSINK_MAP(CDialogWeb, CDialog)
//       ON_EVENT(CDialogWeb, 1001, 250, OnBeforeNavigate2,
//                VTS_DISPATCH VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PBOOL)
//       ON_EVENT(CDialogWeb, 1001, 252, OnNavigateComplete2, VTS_DISPATCH VTS_PVARIANT)
//   END_EVENTSINK_MAP()
// with, for example, void OnNavigateComplete2(IDispatch* browser, VARIANT* url).
//
// The control's arguments arrive in reverse order in the DISPPARAMS; the map puts them back in order and converts
// each to the handler's parameter type:
//   IDispatch*     VT_DISPATCH (or by reference)                                         VTS_DISPATCH
//   VARIANT*       the referenced variant of VT_BYREF | VT_VARIANT, else the argument itself  VTS_PVARIANT
//   VARIANT_BOOL*  VT_BYREF | VT_BOOL: the handler writes through it (a cancel flag)       VTS_PBOOL
//   long           anything that converts to VT_I4                                        VTS_I4
//   BSTR           anything that converts to VT_BSTR; valid during the call only          VTS_BSTR
// The last argument of ON_EVENT lists the handler's parameters in those codes; it is checked against the handler
// when the map compiles. An event whose arguments do not fit the handler (another count, a type that does not
// convert) goes on to the next entries and the base class's map. A handler returns void (the event counts as
// handled) or BOOL/bool (false passes the event on). Every handler runs through AfxCallGuarded.

#define VTS_NONE ""
#define VTS_DISPATCH "d"
#define VTS_PVARIANT "V"
#define VTS_PBOOL "B"
#define VTS_I4 "l"
#define VTS_BSTR "s"

// Loads one event argument for a handler parameter of type P: Load converts (false when it cannot), Get hands the
// value to the handler.
template <class P> struct CAfxEventArg
{
    static constexpr char kCode = '?'; // no conversion to this parameter type
};

template <> struct CAfxEventArg<IDispatch*>
{
    static constexpr char kCode = 'd';
    bool Load(VARIANT& arg);
    IDispatch* Get() const { return m_value; }
    IDispatch* m_value = nullptr;
};

template <> struct CAfxEventArg<VARIANT*>
{
    static constexpr char kCode = 'V';
    bool Load(VARIANT& arg);
    VARIANT* Get() const { return m_value; }
    VARIANT* m_value = nullptr;
};

template <> struct CAfxEventArg<VARIANT_BOOL*>
{
    static constexpr char kCode = 'B';
    bool Load(VARIANT& arg);
    VARIANT_BOOL* Get() const { return m_value; }
    VARIANT_BOOL* m_value = nullptr;
};

template <> struct CAfxEventArg<long>
{
    static constexpr char kCode = 'l';
    bool Load(VARIANT& arg);
    long Get() const { return m_value; }
    long m_value = 0;
};

template <> struct CAfxEventArg<BSTR>
{
    static constexpr char kCode = 's';
    CAfxEventArg() { ::VariantInit(&m_converted); }
    ~CAfxEventArg() { ::VariantClear(&m_converted); }
    CAfxEventArg(const CAfxEventArg&) = delete;
    CAfxEventArg& operator=(const CAfxEventArg&) = delete;
    bool Load(VARIANT& arg);
    BSTR Get() const { return m_value; }
    BSTR m_value = nullptr;
    VARIANT m_converted; // owns the text when the argument had to be converted
};

// Whether the codes of an ON_EVENT line name exactly the parameters of the handler.
template <class Handler> struct CAfxEventSignature;

template <class Owner, class R, class... P> struct CAfxEventSignature<R (Owner::*)(P...)>
{
    static constexpr bool Matches(const char* codes)
    {
        const char expected[] = {CAfxEventArg<P>::kCode..., '\0'};
        for (size_t i = 0; i <= sizeof...(P); ++i)
        {
            if (codes[i] != expected[i])
                return false;
        }
        return true;
    }
};

template <class Wnd, class Owner, class R, class... P, size_t... I>
bool AfxDispatchEventArgs(Wnd* wnd, R (Owner::*handler)(P...), DISPPARAMS* params, std::index_sequence<I...>)
{
    if (!params || params->cArgs != sizeof...(P) || (sizeof...(P) && !params->rgvarg))
        return false;
    std::tuple<CAfxEventArg<P>...> args;
    bool loaded = true;
    // rgvarg holds the last argument first.
    ((loaded = loaded && std::get<I>(args).Load(params->rgvarg[sizeof...(P) - 1 - I])), ...);
    if (!loaded)
        return false;

    bool handled = true;
    Owner* owner = wnd;
    AfxCallGuarded(
        [&]
        {
            if constexpr (std::is_void<R>::value)
                (owner->*handler)(std::get<I>(args).Get()...);
            else
                handled = static_cast<bool>((owner->*handler)(std::get<I>(args).Get()...));
        });
    return handled;
}

// Calls handler of wnd with the arguments of an event; true when the event was handled.
template <class Wnd, class Owner, class R, class... P>
bool AfxDispatchEvent(Wnd* wnd, R (Owner::*handler)(P...), DISPPARAMS* params)
{
    return AfxDispatchEventArgs(wnd, handler, params, std::index_sequence_for<P...>());
}

#define DECLARE_EVENTSINK_MAP()                                                                                        \
protected:                                                                                                             \
    bool OnEvent(UINT controlId, DISPID dispid, DISPPARAMS* params) override;

#define BEGIN_EVENTSINK_MAP(theClass, baseClass)                                                                       \
    bool theClass::OnEvent(UINT controlId, DISPID dispid, DISPPARAMS* params)                                          \
    {                                                                                                                  \
        typedef baseClass TheBaseClass;

#define ON_EVENT(theClass, id, dispidValue, memberFxn, paramCodes)                                                     \
    static_assert(CAfxEventSignature<decltype(&theClass::memberFxn)>::Matches(paramCodes),                             \
                  "ON_EVENT: the parameter codes do not match the parameters of " #memberFxn);                         \
    if (controlId == static_cast<UINT>(id) && dispid == static_cast<DISPID>(dispidValue) &&                            \
        AfxDispatchEvent(this, &theClass::memberFxn, params))                                                          \
        return true;

#define END_EVENTSINK_MAP()                                                                                            \
    return TheBaseClass::OnEvent(controlId, dispid, params);                                                           \
    }
