// xcount -- a library preloaded into the game (LD_PRELOAD) that counts the X image requests it
// makes, XPutImage and XShmPutImage, and the pixels they carry, one line a second.
//
// XCOUNT_LOG names the file the lines are appended to:
//   SECOND REQUESTS SHM_REQUESTS PIXELS
// SECOND is the time in whole seconds since 1970, as `date +%s` gives it, so that a script can
// pick the seconds of each part of a game; every second from the first request on has its line,
// a quiet one with zeros, and the last one is written when the game ends. SHM_REQUESTS is the part
// of REQUESTS that went through the shared-memory path.
#include <dlfcn.h>
#include <fcntl.h>
#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

namespace {

struct second_count {
    long requests, shm_requests;
    long long pixels;
};

pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;
int log_fd = -1;
long current_second = -1; // -1: no request yet
second_count current = {0, 0, 0};

long now_seconds()
{
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<long>(now.tv_sec);
}

void write_line(long second, const second_count &c)
{
    char line[96];
    int n = snprintf(line, sizeof line, "%ld %ld %ld %lld\n", second, c.requests, c.shm_requests,
                     c.pixels);
    if (log_fd >= 0 && n > 0 && write(log_fd, line, n) != n) {
        // A log that cannot be written is no reason to disturb the game: counting stops.
        close(log_fd);
        log_fd = -1;
    }
}

// Closes the seconds before `second`, each with its own line.
void move_to_second(long second)
{
    if (current_second < 0) current_second = second;
    while (current_second < second) {
        write_line(current_second, current);
        current = {0, 0, 0};
        current_second++;
    }
}

void count_request(unsigned width, unsigned height, bool shm)
{
    pthread_mutex_lock(&lock);
    move_to_second(now_seconds());
    current.requests++;
    current.shm_requests += shm;
    current.pixels += static_cast<long long>(width) * height;
    pthread_mutex_unlock(&lock);
}

template <typename F> F next_definition(const char *name)
{
    F f = reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
    if (!f) {
        fprintf(stderr, "xcount: %s not found\n", name);
        abort();
    }
    return f;
}

__attribute__((constructor)) void start_counting()
{
    const char *path = getenv("XCOUNT_LOG");
    if (path && *path) log_fd = open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
}

__attribute__((destructor)) void stop_counting()
{
    pthread_mutex_lock(&lock);
    if (current_second >= 0) {
        move_to_second(now_seconds());
        write_line(current_second, current);
        current_second = -1;
    }
    pthread_mutex_unlock(&lock);
}

} // namespace

// The two requests, with Xlib's own parameter lists; the types that only pass through are
// opaque here.
extern "C" int XPutImage(void *display, unsigned long drawable, void *gc, void *image, int src_x,
                         int src_y, int dest_x, int dest_y, unsigned width, unsigned height)
{
    using put_image =
        int (*)(void *, unsigned long, void *, void *, int, int, int, int, unsigned, unsigned);
    static put_image next = next_definition<put_image>("XPutImage");
    count_request(width, height, false);
    return next(display, drawable, gc, image, src_x, src_y, dest_x, dest_y, width, height);
}

extern "C" int XShmPutImage(void *display, unsigned long drawable, void *gc, void *image, int src_x,
                            int src_y, int dest_x, int dest_y, unsigned width, unsigned height,
                            int send_event)
{
    using shm_put_image =
        int (*)(void *, unsigned long, void *, void *, int, int, int, int, unsigned, unsigned, int);
    static shm_put_image next = next_definition<shm_put_image>("XShmPutImage");
    count_request(width, height, true);
    return next(display, drawable, gc, image, src_x, src_y, dest_x, dest_y, width, height,
                send_event);
}
