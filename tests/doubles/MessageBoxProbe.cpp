// A program that shows one message box through the framework and ends when it is answered. The framework tests
// start copies of it under other names: the box's caption must be the name of the copy that was started.
#include "framework/MessageBox.h"
#include "framework/WinApp.h"

namespace
{

class CProbeApp : public CWinApp
{
public:
    BOOL InitInstance() override
    {
        AfxMessageBox("请输入一个整数。", MB_OK);
        return FALSE;
    }
} theProbeApp;

} // namespace
