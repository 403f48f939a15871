#pragma once

#include "framework/OccManager.h"

// The control-container manager the application installs at start-up. It is handed the object that page script
// reaches as window.external when it is made, and gives it to the sites it makes; it never owns it.
class CCustomOccManager : public COccManager
{
public:
    explicit CCustomOccManager(IDispatch* external) : m_pExternal(external) {}

    IDispatch* GetExternal() const { return m_pExternal; }

private:
    IDispatch* m_pExternal;
};
