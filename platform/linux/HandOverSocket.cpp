#include "HandOverSocket.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <optional>

#include "Request.h"

namespace {

std::optional<sockaddr_un> AddressOf(const std::filesystem::path& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string& name = path.native();
    if (name.size() >= sizeof address.sun_path) {
        return std::nullopt;
    }
    std::memcpy(address.sun_path, name.c_str(), name.size() + 1);
    return address;
}

// The sender's credentials, which the kernel attaches because the socket
// asks for them (SO_PASSCRED): no process can claim another user's.
bool FromThisUser(msghdr& header) {
    for (cmsghdr* part = CMSG_FIRSTHDR(&header); part != nullptr;
         part = CMSG_NXTHDR(&header, part)) {
        if (part->cmsg_level == SOL_SOCKET && part->cmsg_type == SCM_CREDENTIALS &&
            part->cmsg_len == CMSG_LEN(sizeof(ucred))) {
            ucred sender{};
            std::memcpy(&sender, CMSG_DATA(part), sizeof sender);
            return sender.uid == ::getuid();
        }
    }
    return false;
}

}  // namespace

UniqueFd BindHandOverSocket(const std::filesystem::path& path) {
    const auto address = AddressOf(path);
    UniqueFd socket(::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    const int on = 1;
    if (!address || !socket ||
        ::setsockopt(socket.Get(), SOL_SOCKET, SO_PASSCRED, &on, sizeof on) != 0) {
        return {};
    }
    ::unlink(path.c_str());
    if (::bind(socket.Get(), reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0) {
        return {};
    }
    return socket;
}

// Never waits: a program that does not read its socket makes this fail.
bool SendHandOver(const std::filesystem::path& path, std::span<const std::byte> message) {
    const auto address = AddressOf(path);
    const UniqueFd socket(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (!address || !socket) {
        return false;
    }
    const ssize_t sent =
        ::sendto(socket.Get(), message.data(), message.size(), MSG_DONTWAIT | MSG_NOSIGNAL,
                 reinterpret_cast<const sockaddr*>(&*address), sizeof *address);
    return sent == static_cast<ssize_t>(message.size());
}

// A datagram longer than a hand-over is cut to one byte more, which no
// check passes. The room for control data holds the credentials alone, so
// descriptors sent along are dropped by the kernel, never received.
bool TakeHandOvers(int socket, const std::function<void(std::span<const std::byte>)>& arrived) {
    for (;;) {
        std::array<std::byte, kHandOverSize + 1> buffer{};
        alignas(cmsghdr) std::array<char, CMSG_SPACE(sizeof(ucred))> control{};
        iovec data{buffer.data(), buffer.size()};
        msghdr header{};
        header.msg_iov = &data;
        header.msg_iovlen = 1;
        header.msg_control = control.data();
        header.msg_controllen = control.size();
        const ssize_t size = ::recvmsg(socket, &header, MSG_DONTWAIT | MSG_CMSG_CLOEXEC);
        if (size < 0) {
            return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
        }
        if (FromThisUser(header)) {
            arrived(std::span(buffer.data(), static_cast<std::size_t>(size)));
        }
    }
}
