// What the message dispatch does with an exception that escaped a handler: it reports it
// and carries on, so the dialog stays open.
#pragma once

// Call inside a catch (...) block. Shows the exception's description (at most 511
// characters) with MB_ICONERROR; for exhausted memory "Out of memory." as a system-modal
// box with the exclamation icon (0x1030); for an exception without a description
// "Internal application error." with MB_ICONERROR.
void ReportEscapedException();
