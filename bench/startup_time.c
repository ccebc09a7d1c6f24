/* Time from process start to the main window being mapped on the X display,
 * for the editor and for a yardstick program, runs taken in turn so that both
 * see the same machine. Usage: startup_time RUNS PROGRAM YARDSTICK; prints
 * every run, both medians and their ratio. */
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

/* One start of the program: milliseconds until its window is mapped. */
static double time_start(Display *d, const char *program)
{
    XSelectInput(d, DefaultRootWindow(d), SubstructureNotifyMask);
    XSync(d, True);
    double start = now_ms();
    pid_t pid = fork();
    if (pid == 0) {
        execlp(program, program, (char *)NULL);
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
    /* Let the X server settle before the next start. */
    struct timespec pause = {0, 200000000};
    nanosleep(&pause, NULL);
    return shown;
}

static double median(double *t, int n)
{
    qsort(t, (size_t)n, sizeof *t, cmp);
    return t[n / 2];
}

int main(int argc, char **argv)
{
    if (argc != 4) {
        fprintf(stderr, "usage: %s RUNS PROGRAM YARDSTICK\n", argv[0]);
        return 2;
    }
    int runs = atoi(argv[1]);
    Display *d = XOpenDisplay(NULL);
    if (!d || runs < 1) {
        fprintf(stderr, "no X display, or no runs\n");
        return 2;
    }
    double *program = calloc((size_t)runs, sizeof *program);
    double *yardstick = calloc((size_t)runs, sizeof *yardstick);
    for (int r = 0; r < runs; ++r) {
        program[r] = time_start(d, argv[2]);
        yardstick[r] = time_start(d, argv[3]);
        printf("run %d: %.1f ms, yardstick %.1f ms\n", r + 1, program[r], yardstick[r]);
    }
    double p = median(program, runs), y = median(yardstick, runs);
    printf("median over %d runs: %.1f ms; bare Qt window %.1f ms; ratio %.2f\n", runs, p, y, p / y);
    XCloseDisplay(d);
    free(program);
    free(yardstick);
    return 0;
}
