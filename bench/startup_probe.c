/*
 * startup_probe: how long a program takes from being started to showing its
 * drawn window, and how much memory it took to get there.
 *
 *   startup_probe --title TITLE [--quiet-ms N] [--timeout-ms N]
 *                 [--end term|kill] [--save-drawn FILE.ppm] -- PROGRAM [ARG...]
 *
 * Runs PROGRAM once on the X display in $DISPLAY, which should be a private
 * server with nothing else on it (no window manager, no other clients), and
 * prints one line:
 *
 *   ui_ms=38.71 map_ms=31.02 paint_ms=38.71 settled_ms=38.71 frames=1 rss_kb=38340 ...
 *
 * or "error=..." and exit status 1. What each figure means:
 *
 * - The clock starts just before fork(); the exec and the program's own
 *   loading are inside it, as a user clicking an icon would wait for them.
 * - The window is the first top-level window whose title (_NET_WM_NAME, else
 *   WM_NAME) is exactly TITLE. Titles set after the window is mapped count.
 * - A frame is a batch of X Damage reports touching the window, read
 *   together; after each, the window's pixels are read back from the screen
 *   (its own and its child windows', clipped to the screen) and fingerprinted
 *   (a 64-bit hash).
 * - The start-up look is the window's pixels once it has stayed unchanged
 *   for --quiet-ms (default 300, shorter than any text cursor's blink) after
 *   its first frame.
 * - ui_ms, "drawn": the first frame after which the window already shows its
 *   start-up look. A toolkit that draws the whole window at once is drawn at
 *   its first frame; one whose controls paint themselves one by one (Win32)
 *   is drawn when the last of them has, and not at a first half-painted
 *   frame. An empty window is drawn at its first frame, like any other.
 * - paint_ms: the first frame, whatever it shows; map_ms: the window's
 *   MapNotify, when it became viewable; settled_ms: the last frame that
 *   changed anything before the quiet time; frames: how many frames there
 *   were until then; probe_cpu_ms: the processor time the probe itself
 *   used, all of it, its reading back of the frames included.
 * - cpu_ms: the processor time the window's owner (below) had used when it
 *   was drawn, summed over its threads from /proc/PID/task/TID/schedstat
 *   (threads that ended before are not counted). Unlike the times above
 *   it hardly grows when other work shares the machine; it leaves out the
 *   X server's and, under Wine, the wineserver's share.
 * - rss_kb: VmHWM, the peak resident set of the process that owns the
 *   window, read from /proc just before it is ended, at the end of the quiet
 *   time. The owner is the window's _NET_WM_PID where that is a process of
 *   the probe's own process group, else the process forked: Wine runs a
 *   program as a process of its own beside the launcher we start (start.exe,
 *   which waits for it), and the program is what is measured.
 * - Damage reports are taken in batches: the time of a frame is when its
 *   batch was read. Reading the pixels back goes through shared memory
 *   (MIT-SHM) where the server offers it, a fraction of a millisecond for a
 *   window of this size, and is counted inside the clock like any other
 *   delay of the program.
 *
 * --save-drawn writes the start-up look, as read back, to check what was
 * timed. Then the program is ended, outside the clock: SIGTERM (the
 * default), or SIGKILL with --end kill, for programs whose orderly close is
 * slow or not wanted; SIGKILL in any case if it is still running 3 s later.
 * The window's owner is signalled first, then the process forked.
 */
#include "startup_probe.h"

static double elapsed_ms(const struct timespec *since)
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (double)(now.tv_sec - since->tv_sec) * 1e3
        + (double)(now.tv_nsec - since->tv_nsec) / 1e6;
}

static void usage(void)
{
    fputs("usage: startup_probe --title TITLE [--quiet-ms N] [--timeout-ms N]\n"
          "                     [--end term|kill] [--save-drawn FILE.ppm] -- PROGRAM [ARG...]\n",
          stderr);
    exit(2);
}

static long parse_ms(const char *text)
{
    char *end = NULL;
    errno = 0;
    const long value = strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || value < 0)
        usage();
    return value;
}

static struct options parse_options(int argc, char **argv)
{
    struct options o = {NULL, 300, 20000, end_by_term, NULL, NULL};
    int i = 1;
    for (; i < argc && strcmp(argv[i], "--") != 0; ++i) {
        if (i + 1 >= argc)
            usage();
        const char *name = argv[i];
        const char *value = argv[++i];
        if (strcmp(name, "--title") == 0)
            o.title = value;
        else if (strcmp(name, "--quiet-ms") == 0)
            o.quiet_ms = parse_ms(value);
        else if (strcmp(name, "--timeout-ms") == 0)
            o.timeout_ms = parse_ms(value);
        else if (strcmp(name, "--end") == 0 && strcmp(value, "term") == 0)
            o.end = end_by_term;
        else if (strcmp(name, "--end") == 0 && strcmp(value, "kill") == 0)
            o.end = end_by_kill;
        else if (strcmp(name, "--save-drawn") == 0)
            o.save_drawn = value;
        else
            usage();
    }
    if (o.title == NULL || i + 1 >= argc)
        usage();
    o.command = &argv[i + 1];
    return o;
}

/* The processor time used so far by all live threads of `pid`, from the
 * scheduler's nanosecond counts; -1 if it cannot be read. */
static double cpu_ms_of(pid_t pid)
{
    char tasks_path[64];
    snprintf(tasks_path, sizeof tasks_path, "/proc/%ld/task", (long)pid);
    DIR *tasks = opendir(tasks_path);
    if (tasks == NULL)
        return -1;
    unsigned long long total_ns = 0;
    const struct dirent *task = NULL;
    while ((task = readdir(tasks)) != NULL) {
        if (task->d_name[0] == '.')
            continue;
        char path[128];
        snprintf(path, sizeof path, "%s/%.32s/schedstat", tasks_path, task->d_name);
        FILE *file = fopen(path, "r");
        if (file == NULL)
            continue;
        unsigned long long ns = 0;
        if (fscanf(file, "%llu", &ns) == 1)
            total_ns += ns;
        fclose(file);
    }
    closedir(tasks);
    return (double)total_ns / 1e6;
}

static void record_frame(struct probe *p, double now)
{
    const uint64_t look = current_look(p, NULL);
    if (look == 0)
        return;
    const double cpu_ms = cpu_ms_of(window_owner(p, p->target, p->child));
    const bool changed = p->frame_count == 0 || p->frames[p->frame_count - 1].look != look;
    if (changed)
        p->last_change_ms = now;
    /* A program that never stops changing fills the table; its last entry
     * then keeps the latest look. */
    const int slot = p->frame_count < max_frames ? p->frame_count++ : max_frames - 1;
    p->frames[slot] = (struct frame){now, cpu_ms, look};
}

static void handle_event(struct probe *p, const XEvent *event, double now, const char *title,
                         bool *damage_seen)
{
    if (event->type == MapNotify)
        on_map(p, event->xmap.window, now, title);
    else if (event->type == PropertyNotify
             && (event->xproperty.atom == p->net_wm_name || event->xproperty.atom == XA_WM_NAME))
        on_title_change(p, event->xproperty.window, title);
    else if (event->type == p->damage_event_base + XDamageNotify)
        *damage_seen = true;
}

/* Handles what the server has sent, as one batch; waits up to `wait_ms` for
 * something first. */
static void pump_events(struct probe *p, int wait_ms, const char *title)
{
    if (XPending(p->display) == 0) {
        struct pollfd fd = {ConnectionNumber(p->display), POLLIN, 0};
        poll(&fd, 1, wait_ms);
    }
    const double now = elapsed_ms(&p->start);
    bool damage_seen = false;
    while (XPending(p->display) > 0) {
        XEvent event;
        XNextEvent(p->display, &event);
        handle_event(p, &event, now, title, &damage_seen);
    }
    if (damage_seen && window_damaged(p))
        record_frame(p, now);
}

/* The first frame that already showed `look`; the last one if none did
 * (the window changed after its last frame was read). */
static const struct frame *first_showing(const struct probe *p, uint64_t look)
{
    for (int i = 0; i < p->frame_count; ++i) {
        if (p->frames[i].look == look)
            return &p->frames[i];
    }
    return &p->frames[p->frame_count - 1];
}

/* ---- The program ---- */

static pid_t start_program(char **command)
{
    const pid_t child = fork();
    if (child == 0) {
        execvp(command[0], command);
        fprintf(stderr, "startup_probe: cannot run %s: %s\n", command[0], strerror(errno));
        _exit(127);
    }
    return child;
}

static bool child_has_exited(pid_t child)
{
    int status = 0;
    return waitpid(child, &status, WNOHANG) == child;
}

static long peak_rss_kb(pid_t pid)
{
    char path[64];
    snprintf(path, sizeof path, "/proc/%ld/status", (long)pid);
    FILE *status = fopen(path, "r");
    if (status == NULL)
        return -1;
    char line[256];
    long kb = -1;
    while (fgets(line, sizeof line, status) != NULL) {
        if (strncmp(line, "VmHWM:", 6) == 0)
            kb = strtol(line + 6, NULL, 10);
    }
    fclose(status);
    return kb;
}

static void end_program(pid_t owner, pid_t child, enum end_signal how)
{
    const int sig = how == end_by_kill ? SIGKILL : SIGTERM;
    if (owner != child)
        kill(owner, sig);
    kill(child, sig);
    const struct timespec pause = {0, 10 * 1000 * 1000};
    for (int waited = 0; waited < end_grace_ms; waited += 10) {
        if (child_has_exited(child))
            return;
        nanosleep(&pause, NULL);
    }
    if (owner != child)
        kill(owner, SIGKILL);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
}

/* What the probe itself has used of the processors, to show how little it
 * took from the program it timed. */
static double own_cpu_ms(void)
{
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return (double)(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
        + (double)(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

static int fail(struct probe *p, const char *what)
{
    printf("error=%s\n", what);
    if (p->child > 0 && !child_has_exited(p->child))
        end_program(window_owner(p, p->target, p->child), p->child, end_by_kill);
    return 1;
}

int main(int argc, char **argv)
{
    const struct options o = parse_options(argc, argv);
    struct probe p;
    memset(&p, 0, sizeof p);
    p.target = None;
    p.map_ms = -1;
    if (!connect_display(&p))
        return fail(&p, "no-display-or-damage");

    clock_gettime(CLOCK_MONOTONIC, &p.start);
    p.child = start_program(o.command);
    if (p.child < 0)
        return fail(&p, "fork");

    /* Until the window has been still for the quiet time after its first
     * frame. */
    while (p.frame_count == 0 || elapsed_ms(&p.start) < p.last_change_ms + (double)o.quiet_ms) {
        if (elapsed_ms(&p.start) > (double)o.timeout_ms)
            return fail(&p,
                        p.target == None         ? "timeout-no-window"
                            : p.frame_count == 0 ? "timeout-not-drawn"
                                                 : "timeout-never-still");
        if (child_has_exited(p.child)) {
            p.child = 0;
            return fail(&p, "program-exited");
        }
        pump_events(&p, 5, o.title);
    }

    const uint64_t look = current_look(&p, o.save_drawn);
    const pid_t owner = window_owner(&p, p.target, p.child);
    const long rss_kb = peak_rss_kb(owner);
    end_program(owner, p.child, o.end);

    const struct frame *drawn = first_showing(&p, look);
    printf("ui_ms=%.2f map_ms=%.2f paint_ms=%.2f settled_ms=%.2f frames=%d cpu_ms=%.1f "
           "rss_kb=%ld probe_cpu_ms=%.1f\n",
           drawn->at_ms, p.map_ms, p.frames[0].at_ms, p.last_change_ms, p.frame_count,
           drawn->cpu_ms, rss_kb, own_cpu_ms());
    release_shared_image(&p);
    XFixesDestroyRegion(p.display, p.damaged);
    XDamageDestroy(p.display, p.damage);
    XCloseDisplay(p.display);
    return 0;
}
