// CStatic: a static control of a dialog, usually attached by SubclassDlgItem.
#pragma once

#include "platform/win32/wnd.h"

class CStatic : public CWnd {};
