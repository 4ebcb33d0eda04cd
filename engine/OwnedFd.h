// SPDX-License-Identifier: GPL-3.0-or-later
// An owned file descriptor, closed when its owner goes: the walks and the
// Trash open folders and files by descriptor (openat) and hold each one only
// as long as its scope.
#pragma once

#include <unistd.h>
#include <utility>

// Owns fd (-1 for none); moving hands it over, copying is not allowed.
struct OwnedFd
{
    int fd = -1;

    OwnedFd() = default;
    explicit OwnedFd(int f) : fd(f) {}
    OwnedFd(OwnedFd&& other) noexcept : fd(other.fd) { other.fd = -1; }
    OwnedFd& operator=(OwnedFd&& other) noexcept
    {
        std::swap(fd, other.fd);
        return *this;
    }
    OwnedFd(const OwnedFd&) = delete;
    OwnedFd& operator=(const OwnedFd&) = delete;
    ~OwnedFd()
    {
        if (fd >= 0)
            ::close(fd);
    }

    bool ok() const { return fd >= 0; }
};
