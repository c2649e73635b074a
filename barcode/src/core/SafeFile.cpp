#include <stelcode/Render.h>

#include <cerrno>
#include <cstdlib>
#include <random>

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

// A new file beside `path` with a random suffix, created exclusively (never
// through a link) with `mode` less the umask; -1 and errno on failure.
int createTemporary(const std::string& path, mode_t mode, std::string& temp)
{
    static constexpr char kLetters[]
        = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937_64 random{std::random_device{}() ^ static_cast<uint64_t>(::getpid())};
    temp = path + ".XXXXXX";
    for (int attempt = 0; attempt < 100; ++attempt) {
        uint64_t bits = random();
        for (size_t i = temp.size() - 6; i < temp.size(); ++i, bits >>= 6)
            temp[i] = kLetters[bits % (sizeof(kLetters) - 1)];
        const int fd
            = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;  // errno is EEXIST
}
}  // namespace

int writeFileSafely(const std::string& path, std::string_view bytes)
{
    if (path.empty())
        return ENOENT;
    mode_t mode = 0666;  // a new file: less the umask, as open gives it
    bool chmodNeeded = false;
    struct stat st
    { };
    if (::lstat(path.c_str(), &st) == 0) {
        if (S_ISLNK(st.st_mode))
            return ELOOP;  // never write through, nor replace, a symbolic link
        if (S_ISDIR(st.st_mode))
            return EISDIR;
        if (!S_ISREG(st.st_mode))
            return EINVAL;
        // A file the caller may not write stays as it is. Its owner with the
        // write bit may; anyone else is asked about (groups, ACLs, root).
        const bool ownWritable = st.st_uid == ::getuid() && (st.st_mode & S_IWUSR);
        if (!ownWritable && ::access(path.c_str(), W_OK) != 0)
            return lastError();
        mode = st.st_mode & 07777;
        chmodNeeded = (mode & ~currentUmask()) != mode;  // the umask would take bits away
    } else if (errno != ENOENT) {
        return lastError();
    }

    std::string temp;
    const int fd = createTemporary(path, mode, temp);
    if (fd < 0)
        return lastError();
    int error = 0;
    // The whole file in one write. No fsync: an image is remade from its text
    // at will, and the rename makes it appear whole or not at all.
    if ((chmodNeeded && ::fchmod(fd, mode) != 0) || !writeAll(fd, bytes.data(), bytes.size()))
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
