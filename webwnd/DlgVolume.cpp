#include "webwnd/DlgVolume.h"

#include "res/resource.h"

void CDlgVolume::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_VOLUME_OFF_X, m_nOffX);
    DDX_Text(pDX, IDC_VOLUME_ON_X, m_nOnX);
    DDX_Text(pDX, IDC_VOLUME_OFF_Y, m_nOffY);
    DDX_Text(pDX, IDC_VOLUME_ON_Y, m_nOnY);
}

void CDlgVolume::OnOK()
{
    if (!UpdateData(TRUE))
        return; // the data exchange has said why, and the focus is back in the box
    m_target.SetSoundPoints(POINT{m_nOnX, m_nOnY}, POINT{m_nOffX, m_nOffY});
    EndDialog(IDOK);
}
