// The one application object.
#include "app/GameApp.h"

CGameApp theApp;
