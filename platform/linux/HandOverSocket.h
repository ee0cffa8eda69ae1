#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <span>

#include "UniqueFd.h"

// The hand-over from a later start to the running program on one display
// server: a datagram socket in the user's private runtime folder, beside
// the instance lock. The kernel names each datagram's sender, and only
// this user's datagrams are taken.

// Binds a socket at path, in place of one an ended instance left there;
// only the holder of the instance lock may. Invalid when it cannot.
UniqueFd BindHandOverSocket(const std::filesystem::path& path);

// Sends message to the socket at path; false when none bound there took it.
bool SendHandOver(const std::filesystem::path& path, std::span<const std::byte> message);

// Passes each datagram waiting on socket, when it comes from this user, to
// arrived; false once the socket fails.
bool TakeHandOvers(int socket, const std::function<void(std::span<const std::byte>)>& arrived);
