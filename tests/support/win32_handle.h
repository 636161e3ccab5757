// A Windows handle with one owner, closed when the owner goes. Windows builds only.
#pragma once

#if defined(_WIN32)

#include "platform/types.h"

#include <memory>
#include <type_traits>

struct HandleCloser {
    void operator()(HANDLE handle) const
    {
        if (handle && handle != INVALID_HANDLE_VALUE)
            ::CloseHandle(handle);
    }
};

using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

#endif
