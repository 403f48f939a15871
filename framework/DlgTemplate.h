#pragma once

#include "framework/Afx.h"

#include <vector>

// An ActiveX control that a dialog template names by class identifier. The dialog manager cannot create
// such controls, so they are taken out of the template and created by the control container afterwards.
struct AfxOleControlItem
{
    CLSID clsid = {};
    UINT id = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT dluRect = {};     // in dialog units, as the template gives it
    int templateIndex = 0; // position among the template's items (for the tab and z order)
};

// A dialog template without its ActiveX controls, and those controls.
struct AfxDialogTemplate
{
    std::vector<BYTE> bytes; // DWORD-aligned, ready for CreateDialogIndirectParamW
    std::vector<AfxOleControlItem> oleControls;
};

// Loads dialog resource id of module and splits it as above. False if the resource is missing or malformed.
bool AfxLoadDialogTemplate(HMODULE module, UINT id, AfxDialogTemplate& out);
// The same for a template already in memory (DLGTEMPLATE or DLGTEMPLATEEX).
bool AfxSplitDialogTemplate(const BYTE* data, size_t size, AfxDialogTemplate& out);
