#pragma once

#include "framework/Dialog.h"

// Where the settings dialog stores the two points of the sound switch when the user confirms it: the web window.
class CSoundPoints
{
public:
    virtual void SetSoundPoints(const POINT& on, const POINT& off) = 0;

protected:
    ~CSoundPoints() = default;
};

// The settings dialog (template 203): the points of the game's Flash movie that the sound switch clicks to switch the
// sound off and on, as four integers. Its own fields keep the values last confirmed (zeros at first) for the life of
// the object; OK hands them to the target, Cancel stores nothing, and text that is not an integer is refused by the
// data exchange with the dialog left open.
class CDlgVolume : public CDialog
{
public:
    enum
    {
        IDD = 203
    };

    explicit CDlgVolume(CSoundPoints& target) : CDialog(IDD), m_target(target) {}

    int m_nOffX = 0;
    int m_nOnX = 0;
    int m_nOffY = 0;
    int m_nOnY = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

private:
    CSoundPoints& m_target;
};
