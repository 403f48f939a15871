#pragma once

#include "framework/DlgTemplate.h"
#include "framework/OccContainer.h"
#include "framework/OccSite.h"

#include <vector>

class CDialog;

// Makes the sites of the controls that dialogs create, and creates those controls.
class COccManager
{
public:
    virtual ~COccManager() = default;
    // A new site for a control of container; null to skip the control.
    virtual COleControlSite* CreateSite(COleControlContainer* container);
    // Creates the ActiveX controls taken out of a dialog's template, at their template places, in the dialog's
    // container (made when the first control is created). A control that cannot be created is left out. True when
    // every control was created.
    virtual BOOL CreateDlgControls(CDialog* dialog, const std::vector<AfxOleControlItem>& items);
};

// Installs the manager for every dialog created from now on (null: the framework's own). The controls need OLE (not
// just COM) on the user-interface thread, for in-place activation, drag and drop and the clipboard: whoever installs
// the manager has started it (CScopedOle).
void AfxEnableControlContainer(COccManager* manager = nullptr);
COccManager* AfxGetOccManager();
// Tears down the controls a dialog hosts; run when its window is destroyed.
void AfxDestroyControls(CDialog* dialog);
// Makes control stand for the control of site (data exchange on an ActiveX control's id); null: for none.
void AfxAttachControlSite(COleControlWnd& control, COleControlSite* site);
