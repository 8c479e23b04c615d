// An allocator for the solver's large arrays that takes memory straight from the system.
#pragma once

#include <cstddef>
#include <new>

#include <sys/mman.h>

// Each array is given back to the system the moment it is freed. Through malloc, the arrays of
// one number of jumps, freed while those of the next are made, stay scattered among live blocks,
// and the peak grew by a third.
template<class T> struct SystemMemory
{
    using value_type = T;

    SystemMemory() = default;
    template<class U> SystemMemory(const SystemMemory<U> &) { }

    T *allocate(std::size_t count)
    {
        void *memory = ::mmap(nullptr, count * sizeof(T), PROT_READ | PROT_WRITE,
                              MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (memory == MAP_FAILED)
            throw std::bad_alloc();
        return static_cast<T *>(memory);
    }
    void deallocate(T *array, std::size_t count) { ::munmap(array, count * sizeof(T)); }

    template<class U> friend bool operator==(const SystemMemory &, const SystemMemory<U> &)
    {
        return true;
    }
};
