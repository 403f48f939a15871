#pragma once

#include "framework/Afx.h"

// Nested interface objects. A class that answers for several COM interfaces implements each one in a member
// m_x<Name> of a nested class X<Name>. Each nested object holds a pointer back to its owner, set when the owner is
// built, and forwards QueryInterface, AddRef and Release to the owner's External* methods, so every interface
// shares the owner's identity and reference count:
//
//   class CCustomControlSite : public COleControlSite
//   {
//       ...
//       class XDocHostUIHandler : public CInterfacePart<CCustomControlSite, IDocHostUIHandler>
//       {
//       public:
//           using CInterfacePart::CInterfacePart;
//           STDMETHODIMP GetExternal(IDispatch** dispatch) override
//           {
//               METHOD_PROLOGUE(CCustomControlSite, DocHostUIHandler) // pThis: the site
//               ...
//           }
//           ...
//       } m_xDocHostUIHandler{this};
//   };
template <class Owner, class Interface> class CInterfacePart : public Interface
{
public:
    explicit CInterfacePart(Owner* owner) : m_pOwner(owner) {}
    CInterfacePart(const CInterfacePart&) = delete;
    CInterfacePart& operator=(const CInterfacePart&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** ppv) override { return m_pOwner->ExternalQueryInterface(iid, ppv); }
    STDMETHODIMP_(ULONG) AddRef() override { return m_pOwner->ExternalAddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return m_pOwner->ExternalRelease(); }

protected:
    Owner* GetOwner() const { return m_pOwner; }

private:
    Owner* const m_pOwner;
};

// In a method of a nested interface object: pThis, its owner.
#define METHOD_PROLOGUE(theClass, localClass)                                                                          \
    theClass* pThis = this->GetOwner();                                                                                \
    (void)pThis;
