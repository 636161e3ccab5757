// The exception of type E that action raises, for a test to look at its cause and text;
// a failed expectation (and a default E) when action raises none.
#pragma once

#include <gtest/gtest.h>

template <typename E, typename F>
E CatchException(F action)
{
    try {
        action();
    } catch (const E& e) {
        return e;
    }
    ADD_FAILURE() << "no " << E().GetRuntimeClass()->m_lpszClassName << " was raised";
    return E();
}
