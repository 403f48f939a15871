#pragma once

#include "config/core/LayoutTable.h"
#include "config/core/SiteUrlTable.h"
#include "core/AnsiString.h"
#include "mainwnd/core/ScreenSizeTable.h"

// The lookup tables of the client, read once from the configuration documents while the main window starts, and
// owned by it: the layout table, the work-area-to-window-size tables and the site address table. The other windows
// reach them through the main window.
class CGameTables
{
public:
    // The layout document, then the resolution document; each call replaces what its tables held.
    void LoadLayouts(const std::string& layoutDocument, const std::string& resolutionDocument);
    void LoadSiteUrls(const std::string& siteUrlDocument);

    // The rectangle of the layout section named exactly name, or null.
    const LayoutRect* FindLayout(const char* name) const { return m_layouts.FindLayout(name); }
    // The window width (width true) or height for a work-area size; 0 when no entry holds for it.
    int LookupScreenSize(int size, bool width) const { return m_screenSizes.LookupScreenSize(size, width); }
    // The site address of a kind (SiteUrlKind); never missing, empty where the document has none.
    const CAnsiString& GetSiteUrl(int kind) const { return m_siteUrls.GetSiteUrl(kind); }

    const CLayoutTable& Layouts() const { return m_layouts; }
    const CScreenSizeTables& ScreenSizes() const { return m_screenSizes; }
    const CSiteUrlTable& SiteUrls() const { return m_siteUrls; }

private:
    CLayoutTable m_layouts;
    CScreenSizeTables m_screenSizes;
    CSiteUrlTable m_siteUrls;
};
