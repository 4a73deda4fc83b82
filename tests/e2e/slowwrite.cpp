// An LD_PRELOAD shim that makes large writes slow, as a slow disk or a network share would:
// every write() of at least 64 KiB first sleeps SLOWWRITE_MS milliseconds (default 300).
#include <dlfcn.h>
#include <cstdlib>
#include <ctime>
#include <unistd.h>

extern "C" ssize_t write(int fd, const void* buf, size_t count)
{
    using Write = ssize_t (*)(int, const void*, size_t);
    static Write real = reinterpret_cast<Write>(dlsym(RTLD_NEXT, "write"));
    if (count >= 65536) {
        const char* ms = getenv("SLOWWRITE_MS");
        const long delay = ms ? std::atol(ms) : 300;
        const timespec ts = {delay / 1000, (delay % 1000) * 1000000L};
        nanosleep(&ts, nullptr);
    }
    return real(fd, buf, count);
}
