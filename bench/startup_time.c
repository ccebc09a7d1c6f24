/* Time from process start to the main window being mapped on the X display.
 * Usage: startup_time RUNS PROGRAM [ARGS...]; prints every run and the median. */
#define _POSIX_C_SOURCE 200809L
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static const char *kCaption = "Редатор форм фонтанов";

static double now_ms(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

static int has_caption(Display *d, Window w)
{
    Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
    Atom name = XInternAtom(d, "_NET_WM_NAME", False);
    Atom type;
    int format;
    unsigned long n, rest;
    unsigned char *data = NULL;
    int found = 0;
    if (XGetWindowProperty(d, w, name, 0, 256, False, utf8, &type, &format, &n, &rest, &data) ==
            Success &&
        data) {
        found = strncmp((const char *)data, kCaption, strlen(kCaption)) == 0;
        XFree(data);
    }
    return found;
}

static int cmp(const void *a, const void *b)
{
    double x = *(const double *)a, y = *(const double *)b;
    return (x > y) - (x < y);
}

int main(int argc, char **argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: %s RUNS PROGRAM [ARGS...]\n", argv[0]);
        return 2;
    }
    int runs = atoi(argv[1]);
    Display *d = XOpenDisplay(NULL);
    if (!d) {
        fprintf(stderr, "no X display\n");
        return 2;
    }
    double *t = calloc((size_t)runs, sizeof *t);
    for (int r = 0; r < runs; ++r) {
        XSelectInput(d, DefaultRootWindow(d), SubstructureNotifyMask);
        XSync(d, True);
        double start = now_ms();
        pid_t pid = fork();
        if (pid == 0) {
            execvp(argv[2], argv + 2);
            _exit(127);
        }
        double shown = -1;
        while (shown < 0) {
            XEvent e;
            XNextEvent(d, &e);
            if (e.type == MapNotify && has_caption(d, e.xmap.window))
                shown = now_ms() - start;
            if (now_ms() - start > 20000)
                break;
        }
        kill(pid, SIGTERM);
        waitpid(pid, NULL, 0);
        t[r] = shown;
        printf("run %d: %.1f ms\n", r + 1, shown);
        usleep(200000);
    }
    qsort(t, (size_t)runs, sizeof *t, cmp);
    printf("median over %d runs: %.1f ms\n", runs, t[runs / 2]);
    XCloseDisplay(d);
    return 0;
}
