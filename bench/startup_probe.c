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
#define _DEFAULT_SOURCE

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/Xdamage.h>
#include <X11/extensions/Xfixes.h>

#include <dirent.h>
#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <stdbool.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ipc.h>
#include <sys/resource.h>
#include <sys/shm.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

enum { max_watched = 64, max_frames = 512, end_grace_ms = 3000 };

enum end_signal { end_by_term, end_by_kill };

struct options
{
    const char *title;
    long quiet_ms;
    long timeout_ms;
    enum end_signal end;
    const char *save_drawn;
    char **command;
};

/* A mapped top-level window whose title did not match (yet): its title may
 * still be set, and then its map time is the one that counts. */
struct watched
{
    Window window;
    double mapped_ms;
};

struct frame
{
    double at_ms;
    double cpu_ms; /* the program's processor time by then */
    uint64_t look;
};

struct rect
{
    int x, y, width, height;
};

/* Reads screen areas back, through shared memory when it can. */
struct grabber
{
    bool shared;
    XShmSegmentInfo segment;
    XImage *image; /* the shared image, for the size it was made for */
};

struct probe
{
    Display *display;
    Window root;
    int damage_event_base;
    Damage damage;
    XserverRegion damaged;
    Atom net_wm_name;
    Atom net_wm_pid;
    Atom utf8_string;
    struct grabber grabber;
    struct timespec start;
    pid_t child;
    Window target;
    double map_ms;
    struct frame frames[max_frames];
    int frame_count;
    double last_change_ms;
    struct watched watched[max_watched];
    int watched_count;
};

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

/* Windows vanish under us (the program ends, or replaces one window by
 * another); a failed request then just fails, it must not end the probe. */
static int ignore_x_error(Display *display, XErrorEvent *error)
{
    (void)display;
    (void)error;
    return 0;
}

static bool connect_display(struct probe *p)
{
    p->display = XOpenDisplay(NULL);
    if (p->display == NULL)
        return false;
    XSetErrorHandler(ignore_x_error);
    p->root = DefaultRootWindow(p->display);
    int damage_error_base = 0;
    int fixes_event_base = 0;
    int fixes_error_base = 0;
    if (!XDamageQueryExtension(p->display, &p->damage_event_base, &damage_error_base)
        || !XFixesQueryExtension(p->display, &fixes_event_base, &fixes_error_base))
        return false;
    int major = 2;
    int minor = 0;
    XFixesQueryVersion(p->display, &major, &minor);
    major = 1;
    minor = 1;
    XDamageQueryVersion(p->display, &major, &minor);
    p->grabber.shared = XShmQueryExtension(p->display);
    p->net_wm_name = XInternAtom(p->display, "_NET_WM_NAME", False);
    p->net_wm_pid = XInternAtom(p->display, "_NET_WM_PID", False);
    p->utf8_string = XInternAtom(p->display, "UTF8_STRING", False);
    /* Top-level windows are the root's children: with no window manager
     * their creation and mapping are reported to whoever selects this on the
     * root. Damage on the root covers every window on the screen, so nothing
     * drawn between the map and our noticing it is missed. */
    XSelectInput(p->display, p->root, SubstructureNotifyMask);
    p->damage = XDamageCreate(p->display, p->root, XDamageReportNonEmpty);
    p->damaged = XFixesCreateRegion(p->display, NULL, 0);
    XSync(p->display, False);
    return true;
}

/* ---- Finding the window ---- */

static bool title_matches(const struct probe *p, Window window, const char *title)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char *value = NULL;
    bool matches = false;
    if (XGetWindowProperty(p->display, window, p->net_wm_name, 0, 1024, False, p->utf8_string,
                           &type, &format, &count, &after, &value)
            == Success
        && value != NULL && type == p->utf8_string && format == 8) {
        matches = count == strlen(title) && memcmp(value, title, count) == 0;
        XFree(value);
        return matches;
    }
    if (value != NULL)
        XFree(value);
    char *name = NULL;
    if (XFetchName(p->display, window, &name) && name != NULL) {
        matches = strcmp(name, title) == 0;
        XFree(name);
    }
    return matches;
}

static void watch_for_title(struct probe *p, Window window, double mapped_ms)
{
    if (p->watched_count == max_watched)
        return;
    XSelectInput(p->display, window, PropertyChangeMask);
    p->watched[p->watched_count++] = (struct watched){window, mapped_ms};
}

static void on_map(struct probe *p, Window window, double now, const char *title)
{
    if (p->target != None)
        return;
    if (title_matches(p, window, title)) {
        p->target = window;
        p->map_ms = now;
    } else {
        watch_for_title(p, window, now);
    }
}

static void on_title_change(struct probe *p, Window window, const char *title)
{
    if (p->target != None || !title_matches(p, window, title))
        return;
    for (int i = 0; i < p->watched_count; ++i) {
        if (p->watched[i].window == window) {
            p->target = window;
            p->map_ms = p->watched[i].mapped_ms;
        }
    }
}

/* ---- Reading the window's pixels ---- */

/* The window's area on the screen, in root coordinates; empty once it is
 * gone or unmapped. */
static struct rect screen_area(const struct probe *p, Window window)
{
    const struct rect none = {0, 0, 0, 0};
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(p->display, window, &attributes)
        || attributes.map_state != IsViewable)
        return none;
    int x = 0;
    int y = 0;
    Window child = None;
    if (!XTranslateCoordinates(p->display, window, p->root, 0, 0, &x, &y, &child))
        return none;
    const int screen = DefaultScreen(p->display);
    const int screen_width = DisplayWidth(p->display, screen);
    const int screen_height = DisplayHeight(p->display, screen);
    const int left = x > 0 ? x : 0;
    const int top = y > 0 ? y : 0;
    const int right = x + attributes.width < screen_width ? x + attributes.width : screen_width;
    const int bottom
        = y + attributes.height < screen_height ? y + attributes.height : screen_height;
    if (right <= left || bottom <= top)
        return none;
    return (struct rect){left, top, right - left, bottom - top};
}

static void release_shared_image(struct probe *p)
{
    struct grabber *g = &p->grabber;
    if (g->image == NULL)
        return;
    XShmDetach(p->display, &g->segment);
    XSync(p->display, False);
    XDestroyImage(g->image);
    shmdt(g->segment.shmaddr);
    g->image = NULL;
}

/* A shared image of the given size; the server fills it in place. */
static XImage *shared_image(struct probe *p, int width, int height)
{
    struct grabber *g = &p->grabber;
    if (g->image != NULL && g->image->width == width && g->image->height == height)
        return g->image;
    release_shared_image(p);
    const int screen = DefaultScreen(p->display);
    XImage *image = XShmCreateImage(p->display, DefaultVisual(p->display, screen),
                                    (unsigned)DefaultDepth(p->display, screen), ZPixmap, NULL,
                                    &g->segment, (unsigned)width, (unsigned)height);
    if (image == NULL)
        return NULL;
    const size_t bytes = (size_t)image->bytes_per_line * (size_t)image->height;
    g->segment.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (g->segment.shmid < 0) {
        XDestroyImage(image);
        return NULL;
    }
    g->segment.shmaddr = image->data = shmat(g->segment.shmid, NULL, 0);
    g->segment.readOnly = False;
    const bool attached = image->data != (char *)-1 && XShmAttach(p->display, &g->segment);
    XSync(p->display, False);
    /* Removed now, so it goes away with us whatever happens. */
    shmctl(g->segment.shmid, IPC_RMID, NULL);
    if (!attached) {
        if (image->data != (char *)-1)
            shmdt(image->data);
        image->data = NULL;
        XDestroyImage(image);
        return NULL;
    }
    g->image = image;
    return image;
}

/* The pixels of `area` now. The result is ours to free with
 * release_grab(), unless it is the shared image. */
static XImage *grab(struct probe *p, struct rect area)
{
    if (p->grabber.shared) {
        XImage *image = shared_image(p, area.width, area.height);
        if (image != NULL && XShmGetImage(p->display, p->root, image, area.x, area.y, AllPlanes))
            return image;
        p->grabber.shared = false; /* not this server after all */
        release_shared_image(p);
    }
    return XGetImage(p->display, p->root, area.x, area.y, (unsigned)area.width,
                     (unsigned)area.height, AllPlanes, ZPixmap);
}

static void release_grab(struct probe *p, XImage *image)
{
    if (image != NULL && image != p->grabber.image)
        XDestroyImage(image);
}

/* FNV-1a over the pixel rows, eight bytes at a step; row padding left out. */
static uint64_t fingerprint(const XImage *image)
{
    const uint64_t prime = 0x100000001b3u;
    uint64_t hash = 0xcbf29ce484222325u;
    const size_t row_bytes = (size_t)image->width * (size_t)image->bits_per_pixel / 8;
    for (int y = 0; y < image->height; ++y) {
        const unsigned char *row
            = (const unsigned char *)image->data + (size_t)y * (size_t)image->bytes_per_line;
        size_t i = 0;
        for (; i + 8 <= row_bytes; i += 8) {
            uint64_t word;
            memcpy(&word, row + i, sizeof word);
            hash = (hash ^ word) * prime;
        }
        for (; i < row_bytes; ++i)
            hash = (hash ^ row[i]) * prime;
    }
    return hash;
}

/* One colour channel of `pixel` scaled to 0..255. */
static unsigned char channel(unsigned long pixel, unsigned long mask)
{
    if (mask == 0)
        return 0;
    unsigned shift = 0;
    while (((mask >> shift) & 1u) == 0)
        ++shift;
    return (unsigned char)(((pixel & mask) >> shift) * 255u / (mask >> shift));
}

static void save_ppm(XImage *image, const char *path)
{
    FILE *file = fopen(path, "wb");
    if (file == NULL)
        return;
    fprintf(file, "P6\n%d %d\n255\n", image->width, image->height);
    for (int y = 0; y < image->height; ++y) {
        for (int x = 0; x < image->width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            const unsigned char rgb[3]
                = {channel(pixel, image->red_mask), channel(pixel, image->green_mask),
                   channel(pixel, image->blue_mask)};
            fwrite(rgb, 1, sizeof rgb, file);
        }
    }
    fclose(file);
}

/* The window's look now, or 0 if it cannot be read (it is gone). */
static uint64_t current_look(struct probe *p, const char *save_to)
{
    const struct rect area = screen_area(p, p->target);
    if (area.width == 0)
        return 0;
    XImage *image = grab(p, area);
    if (image == NULL)
        return 0;
    const uint64_t look = fingerprint(image);
    if (save_to != NULL)
        save_ppm(image, save_to);
    release_grab(p, image);
    return look;
}

/* ---- Frames ---- */

static bool overlaps(struct rect a, const XRectangle *b)
{
    return a.x < b->x + b->width && b->x < a.x + a.width && a.y < b->y + b->height
        && b->y < a.y + a.height;
}

/* Takes the damage gathered since the last call; true if any of it lies in
 * the window. */
static bool window_damaged(struct probe *p)
{
    XDamageSubtract(p->display, p->damage, None, p->damaged);
    if (p->target == None)
        return false;
    const struct rect area = screen_area(p, p->target);
    int count = 0;
    XRectangle *rects = XFixesFetchRegion(p->display, p->damaged, &count);
    bool inside = false;
    for (int i = 0; i < count && !inside && area.width > 0; ++i)
        inside = overlaps(area, &rects[i]);
    if (rects != NULL)
        XFree(rects);
    return inside;
}

static pid_t window_owner(const struct probe *p, Window window, pid_t child);

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

/* The process that owns `window`, by its _NET_WM_PID, if that process was
 * started from this process group; else `child`. */
static pid_t window_owner(const struct probe *p, Window window, pid_t child)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char *value = NULL;
    pid_t owner = child;
    if (window != None
        && XGetWindowProperty(p->display, window, p->net_wm_pid, 0, 1, False, XA_CARDINAL, &type,
                              &format, &count, &after, &value)
            == Success
        && value != NULL && type == XA_CARDINAL && format == 32 && count == 1) {
        /* Xlib hands 32-bit items back as longs. */
        const pid_t pid = (pid_t) * (const unsigned long *)(const void *)value;
        if (pid > 0 && getpgid(pid) == getpgrp())
            owner = pid;
    }
    if (value != NULL)
        XFree(value);
    return owner;
}

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
