#include <stelcode/Render.h>

#include <cerrno>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace stelcode {

namespace {
bool writeAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) {  // a write that makes no progress would loop for ever
            errno = EIO;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

mode_t currentUmask()
{
    static const mode_t mask = [] {
        const mode_t m = ::umask(0);
        ::umask(m);
        return m;
    }();
    return mask;
}

int lastError()
{
    return errno ? errno : EIO;
}
}  // namespace

int writeFileSafely(const std::string& path, std::string_view bytes)
{
    if (path.empty())
        return ENOENT;
    mode_t mode = 0666 & ~currentUmask();
    struct stat st
    { };
    if (::lstat(path.c_str(), &st) == 0) {
        if (S_ISLNK(st.st_mode))
            return ELOOP;  // never write through, nor replace, a symbolic link
        if (S_ISDIR(st.st_mode))
            return EISDIR;
        if (!S_ISREG(st.st_mode))
            return EINVAL;
        if (::access(path.c_str(), W_OK) != 0)
            return lastError();  // a file the caller may not write stays as it is
        mode = st.st_mode & 07777;
    } else if (errno != ENOENT) {
        return lastError();
    }

    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return lastError();
    int error = 0;
    // No fsync: an image is remade from its text at will, and a caller that
    // needs it on disk can sync the folder itself.
    if (::fchmod(fd, mode) != 0 || !writeAll(fd, bytes.data(), bytes.size()))
        error = lastError();
    if (::close(fd) != 0 && error == 0)
        error = lastError();
    if (error == 0 && ::rename(temp.c_str(), path.c_str()) != 0)
        error = lastError();
    if (error != 0)
        ::unlink(temp.c_str());
    return error;
}

}  // namespace stelcode
