#include "platform/wait_cursor.h"

#if defined(_WIN32)
CWaitCursor::CWaitCursor() : m_hPrevious(::SetCursor(::LoadCursor(NULL, IDC_WAIT))) {}

CWaitCursor::~CWaitCursor() { ::SetCursor(m_hPrevious); }
#else
CWaitCursor::CWaitCursor() = default;

CWaitCursor::~CWaitCursor() = default;
#endif
