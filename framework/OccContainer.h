#pragma once

#include "framework/ComNested.h"
#include "framework/ComPtr.h"

#include <vector>

class CDialog;
class COleControlSite;

// The controls one dialog hosts, and the in-place frame they all share (the dialog's window itself; there are no
// menus, toolbars or border space to negotiate). Created by the first control a dialog hosts; torn down by
// AfxDestroyControls when the dialog's window is destroyed.
class COleControlContainer
{
public:
    explicit COleControlContainer(CDialog* wnd) : m_pWnd(wnd) {}
    virtual ~COleControlContainer();
    COleControlContainer(const COleControlContainer&) = delete;
    COleControlContainer& operator=(const COleControlContainer&) = delete;

    CDialog* m_pWnd;                       // the hosting dialog; null once the container is torn down
    std::vector<COleControlSite*> m_sites; // owned, in creation order

    COleControlSite* FindSite(UINT id) const;
    // The site whose control window is hwnd or an ancestor of it.
    COleControlSite* FindSiteByWindow(HWND hwnd) const;
    // Takes site over (a site whose control was created).
    void AddSite(COleControlSite* site) { m_sites.push_back(site); }
    // Tears every control down (see COleControlSite::DestroyControl) and lets go of the sites.
    void DestroyControls();

    // The in-place frame handed to the controls; no reference is added.
    IOleInPlaceFrame* GetFrame() { return &m_xOleIPFrame; }

    // Reference count of the frame. The container is deleted by its owner (Discard) or, when a control still holds
    // the frame then, by the frame's last Release.
    ULONG ExternalAddRef();
    ULONG ExternalRelease();
    HRESULT ExternalQueryInterface(REFIID iid, void** ppv);
    // The owner lets go: tears the controls down and deletes the container once nothing holds its frame.
    void Discard();

protected:
    ULONG m_dwRef = 0;

private:
    class XOleIPFrame : public CInterfacePart<COleControlContainer, IOleInPlaceFrame>
    {
    public:
        using CInterfacePart::CInterfacePart;
        STDMETHODIMP GetWindow(HWND* hwnd) override;
        STDMETHODIMP ContextSensitiveHelp(BOOL enterMode) override;
        STDMETHODIMP GetBorder(LPRECT border) override;
        STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS widths) override;
        STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS widths) override;
        STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR name) override;
        STDMETHODIMP InsertMenus(HMENU menu, LPOLEMENUGROUPWIDTHS widths) override;
        STDMETHODIMP SetMenu(HMENU menu, HOLEMENU olemenu, HWND activeObject) override;
        STDMETHODIMP RemoveMenus(HMENU menu) override;
        STDMETHODIMP SetStatusText(LPCOLESTR text) override;
        STDMETHODIMP EnableModeless(BOOL enable) override;
        STDMETHODIMP TranslateAccelerator(LPMSG msg, WORD id) override;
    } m_xOleIPFrame{this};

    CComPtr<IOleInPlaceActiveObject> m_pActiveObject; // the UI-active control's, while one is
    bool m_bDiscarded = false;
};
