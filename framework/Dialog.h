#pragma once

#include "framework/ControlWnd.h"
#include "framework/DlgTemplate.h"
#include "framework/EventMap.h"
#include "framework/Wnd.h"

#include <memory>

class CDialog;
class COleControlContainer;

// Thrown by a failed data exchange; UpdateData catches it.
class CUserException
{
};

// One run of data exchange between a dialog's controls and its members.
class CDataExchange
{
public:
    CDataExchange(CDialog* dialog, BOOL saveAndValidate) : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}
    CDialog* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
    // The control being exchanged; the focus goes back to it when the exchange fails.
    HWND PrepareCtrl(int id);
    HWND PrepareEditCtrl(int id);
    [[noreturn]] void Fail();

private:
    HWND m_hWndLastControl = nullptr;
    bool m_bEditLastControl = false;
};

// Binds a member window object to control id by routing the control's messages through the object. Once per window;
// later exchanges leave the binding alone.
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);
// Binds a wrapper to the ActiveX control id the dialog hosts, through the control's site.
void DDX_Control(CDataExchange* pDX, int id, COleControlWnd& control);
// An integer in an edit box. Saving refuses text that is not a whole number in the 32-bit range with the
// message "请输入一个整数。", and the focus goes back to the box.
void DDX_Text(CDataExchange* pDX, int id, int& value);

// A dialog from a template in the executable's resources, run modally (DoModal) or modelessly (Create).
// ActiveX controls named in the template are created by the installed control-container manager, in a container of
// the dialog's own that goes with its window; their events reach the dialog's event map.
class CDialog : public CWnd
{
public:
    explicit CDialog(UINT idTemplate, CWnd* parent = nullptr);
    ~CDialog() override;

    virtual INT_PTR DoModal();
    virtual BOOL Create(UINT idTemplate, CWnd* parent = nullptr);
    void EndDialog(int result);
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange*) {}

    // The hosted controls' keys first (PreTranslateControlMessage), then the dialog's own keyboard interface (Tab,
    // Enter, Escape, mnemonics).
    BOOL PreTranslateMessage(MSG* msg) override;
    // A keyboard message offered to the hosted control whose window holds the message's window; true when it took it.
    BOOL PreTranslateControlMessage(MSG* msg);

    // An event of hosted control controlId, from the event map (DECLARE_EVENTSINK_MAP); true when handled.
    virtual bool OnEvent(UINT controlId, DISPID dispid, DISPPARAMS* params);

    UINT m_nIDHelp;
    // The container of the ActiveX controls the dialog's window hosts, or null.
    COleControlContainer* m_pCtrlCont = nullptr;

protected:
    bool OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    // The hosted controls go while their windows still exist.
    void OnDestroyHandled() override;
    void PostNcDestroy() override;

private:
    friend INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);
    HWND CreateFromTemplate(HWND owner);
    BOOL HandleInitDialog();
    void RunModalLoop();

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    // The template of the window this object has now. Shared with the creation that uses it, which keeps it
    // while the dialog manager reads it, even when the dialog loads another one meanwhile.
    std::shared_ptr<const AfxDialogTemplate> m_pTemplate;
    bool m_bModal = false;
    bool m_bContinueModal = false;
    int m_nModalResult = -1;
};

INT_PTR CALLBACK AfxDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
