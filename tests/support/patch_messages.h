// The messages of a patch that tests expect to see, with their flags.
#pragma once

#include "tests/support/message_capture.h"

inline const CapturedMessage kSuccess{"E-Book was successfully patched!", MB_ICONINFORMATION};
inline const CapturedMessage kIconError{"There was an error during updating icon in patched E-Book!",
                                        MB_ICONINFORMATION};
inline const CapturedMessage kWrongBook{
    "There was an error during reading source E-Book!\nIt may be, if you have chosen wrong source E-Book.",
    MB_ICONERROR};
