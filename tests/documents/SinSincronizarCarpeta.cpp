// Preloaded into a test's child process: a folder cannot be synced (fsync on a
// directory fails with EIO, as on some network file systems). Files sync as usual.
#include <cerrno>
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

extern "C" int fsync(int fd)
{
    using Fsync = int (*)(int);
    static Fsync real = reinterpret_cast<Fsync>(dlsym(RTLD_NEXT, "fsync"));
    struct stat st { };
    if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        errno = EIO;
        return -1;
    }
    return real(fd);
}
