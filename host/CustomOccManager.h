#pragma once

#include "framework/OccManager.h"

// The control-container manager the application installs at start-up: every ActiveX control a dialog creates from
// then on gets the client's own site (CCustomControlSite). It is handed the object that page script reaches as
// window.external when it is made, and passes it to the sites it makes; it never owns it.
class CCustomOccManager : public COccManager
{
public:
    explicit CCustomOccManager(IDispatch* external) : m_pExternal(external) {}

    COleControlSite* CreateSite(COleControlContainer* container) override;
    IDispatch* GetExternal() const { return m_pExternal; }

private:
    IDispatch* m_pExternal;
};
