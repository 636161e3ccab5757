// Makes the program's next array allocation of one given size fail with std::bad_alloc,
// as an exhausted heap would: the way to show what happens when a blob cannot be had.
#pragma once

#include <cstddef>

class FailingArrayAllocation {
public:
    explicit FailingArrayAllocation(std::size_t size);
    ~FailingArrayAllocation();
    FailingArrayAllocation(const FailingArrayAllocation&) = delete;
    FailingArrayAllocation& operator=(const FailingArrayAllocation&) = delete;

    // TRUE once an allocation of the size was refused.
    bool Fired() const;
};
