// What a step of a job says when memory runs out: "Not enough memory: gouge control for a
// 6002 x 4002 grid needs about 310 MB." A bare std::bad_alloc tells the user nothing; the
// steps that allocate in proportion to a picture catch it where they know the sizes and
// throw this instead, so the user learns what to make smaller, and the program goes on.
#pragma once

#include "common/error.h"

#include <cstdint>
#include <new>
#include <string>

namespace corvane {

// step: "gouge control"; noun: "grid" or "picture"; bytes: about what the step needs.
Error outOfMemoryError(const std::string& step, int width, int height, const std::string& noun,
                       std::uint64_t bytes);

// "310 MB", "1.5 GB", "12 KB": the amount as a person reads it.
std::string memoryText(std::uint64_t bytes);

// Runs work(); a failed allocation inside it becomes outOfMemoryError(...).
template <class Work>
decltype(auto) runWithMemoryFor(const std::string& step, int width, int height,
                                const std::string& noun, std::uint64_t bytes, Work&& work)
{
    try {
        return work();
    } catch (const std::bad_alloc&) {
        throw outOfMemoryError(step, width, height, noun, bytes);
    }
}

} // namespace corvane
