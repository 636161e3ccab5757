// The hourglass while a long step runs: shown from construction to destruction.
// Without a display (the native build) it does nothing.
#pragma once

#include "platform/types.h"

class CWaitCursor {
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
#if defined(_WIN32)
    HCURSOR m_hPrevious;
#endif
};
