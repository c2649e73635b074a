#include "BmpFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace stelcode {

namespace {
void put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(v & 0xFF);
    out.push_back((v >> 8) & 0xFF);
}
void put32(std::vector<uint8_t>& out, uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

bool writeAll(int fd, const uint8_t* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}
}  // namespace

int writeBmp(const std::string& path, int width, int height, const uint32_t* pixels, int stride)
{
    if (width < 0 || height < 0)
        return EINVAL;
    const uint32_t rowBytes = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(height);
    constexpr uint32_t kHeaderBytes = 14 + 40;

    std::vector<uint8_t> out;
    out.reserve(kHeaderBytes + imageBytes);
    // File header.
    out.push_back('B');
    out.push_back('M');
    put32(out, kHeaderBytes + imageBytes);
    put32(out, 0);
    put32(out, kHeaderBytes);
    // Information header: bottom-up rows, 24 bits, no compression, 96 dpi.
    put32(out, 40);
    put32(out, static_cast<uint32_t>(width));
    put32(out, static_cast<uint32_t>(height));
    put16(out, 1);
    put16(out, 24);
    put32(out, 0);
    put32(out, imageBytes);
    put32(out, 3780);
    put32(out, 3780);
    put32(out, 0);
    put32(out, 0);

    out.resize(kHeaderBytes + imageBytes, 0);
    for (int y = 0; y < height; ++y) {
        const uint32_t* src = pixels + static_cast<size_t>(height - 1 - y) * stride;
        uint8_t* dst = out.data() + kHeaderBytes + static_cast<size_t>(y) * rowBytes;
        for (int x = 0; x < width; ++x) {
            const uint32_t p = src[x];
            *dst++ = p & 0xFF;
            *dst++ = (p >> 8) & 0xFF;
            *dst++ = (p >> 16) & 0xFF;
        }
    }

    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return errno ? errno : EIO;
    // mkstemp creates the file private; give it the usual permissions.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    int error = 0;
    if (!writeAll(fd, out.data(), out.size()))
        error = errno ? errno : EIO;
    if (::close(fd) != 0 && error == 0)
        error = errno ? errno : EIO;
    if (error == 0 && ::rename(temp.c_str(), path.c_str()) != 0)
        error = errno ? errno : EIO;
    if (error != 0)
        ::unlink(temp.c_str());
    return error;
}

}  // namespace stelcode
