// Sets a fault hook on the file seam for the life of the object, then puts back the one
// that was there.
#pragma once

#include "platform/os_file.h"

#include <utility>

class ScopedFaultHook {
public:
    explicit ScopedFaultHook(os::FaultHook hook) : m_previous(os::SetFaultHook(std::move(hook))) {}
    ~ScopedFaultHook() { os::SetFaultHook(std::move(m_previous)); }
    ScopedFaultHook(const ScopedFaultHook&) = delete;
    ScopedFaultHook& operator=(const ScopedFaultHook&) = delete;

private:
    os::FaultHook m_previous;
};
