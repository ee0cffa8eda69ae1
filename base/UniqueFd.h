#pragma once

// A POSIX file descriptor, closed when its owner goes. POSIX files only.
#include <unistd.h>

#include "UniqueHandle.h"

struct FdTraits {
    using Value = int;
    static Value Invalid() noexcept { return -1; }
    static void Close(Value fd) noexcept { ::close(fd); }
};

using UniqueFd = UniqueHandle<FdTraits>;
