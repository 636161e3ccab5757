// AfxMessageBox: every report of the program goes through one replaceable sink, so the
// dialog shows real message boxes, the command-line tool prints, and tests capture.
#pragma once

#include "platform/types.h"

#include <functional>

using MessageBoxSink = std::function<int(LPCTSTR text, UINT flags)>;

// Makes sink receive every later AfxMessageBox; returns the sink it replaces.
MessageBoxSink SetMessageBoxSink(MessageBoxSink sink);

// Shows text with flags (MB_ICONERROR, ...) through the current sink; returns the button
// that closed the box (IDOK).
int AfxMessageBox(LPCTSTR text, UINT flags = MB_OK);
