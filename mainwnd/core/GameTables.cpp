#include "mainwnd/core/GameTables.h"

#include <algorithm>
#include <climits>

namespace
{

int Length(const std::string& document)
{
    return static_cast<int>(std::min<size_t>(document.size(), INT_MAX));
}

} // namespace

void CGameTables::LoadLayouts(const std::string& layoutDocument, const std::string& resolutionDocument)
{
    m_layouts = CLayoutTable();
    m_layouts.Load(layoutDocument.data(), Length(layoutDocument));
    m_screenSizes = CScreenSizeTables();
    m_screenSizes.Load(resolutionDocument.data(), Length(resolutionDocument));
}

void CGameTables::LoadSiteUrls(const std::string& siteUrlDocument)
{
    m_siteUrls = CSiteUrlTable();
    m_siteUrls.Load(siteUrlDocument.data(), Length(siteUrlDocument));
}
