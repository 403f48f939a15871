#include "host/CustomOccManager.h"

#include <new>

#include "host/CustomControlSite.h"

COleControlSite* CCustomOccManager::CreateSite(COleControlContainer* container)
{
    return new (std::nothrow) CCustomControlSite(container, m_pExternal);
}
