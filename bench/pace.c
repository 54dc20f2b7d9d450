/* Takes the samples a Wine process plays and appends them to the capture file no faster than a
 * real sound card would, at the bytes per second given. The session's ALSA sink has no clock of
 * its own and would take a track in a fraction of its length. Once the stop file exists (the
 * probe makes it as it presses the key) samples pass unpaced, as a stopped card drops what it
 * still holds, so that closing the device is not held up by samples left in its buffer.
 * A native program, not a script: the sink waits for it to start and to end.
 *
 *   pace <bytes per second> <capture file> <stop file>
 */
#define _GNU_SOURCE
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

static double Now(void)
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec + now.tv_nsec / 1e9;
}

int main(int argc, char** argv)
{
    if (argc != 4)
        return 2;
    double rate = atof(argv[1]);
    const char* stopFile = argv[3];
    int out = open(argv[2], O_WRONLY | O_APPEND | O_CREAT, 0644);
    if (out < 0 || rate <= 0)
        return 1;
    /* Little in the pipe: a real card's latency, not a quarter of a second. */
    fcntl(0, F_SETPIPE_SZ, 4096);

    char buffer[4096];
    double due = Now();
    ssize_t got;
    while ((got = read(0, buffer, sizeof buffer)) > 0) {
        if (write(out, buffer, (size_t)got) != got)
            return 1;
        /* A pause between tracks earns no credit: the clock restarts at the next sample. */
        double now = Now();
        due = (due > now ? due : now) + got / rate;
        double delay = due - Now();
        if (delay > 0 && access(stopFile, F_OK) != 0) {
            struct timespec wait = {(time_t)delay, (long)((delay - (time_t)delay) * 1e9)};
            nanosleep(&wait, NULL);
        }
    }
    return 0;
}
