#include "startup_probe.h"

/* Windows vanish under us (the program ends, or replaces one window by
 * another); a failed request then just fails, it must not end the probe. */
int ignore_x_error(Display *display, XErrorEvent *error)
{
    (void)display;
    (void)error;
    return 0;
}

bool connect_display(struct probe *p)
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

bool title_matches(const struct probe *p, Window window, const char *title)
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

void watch_for_title(struct probe *p, Window window, double mapped_ms)
{
    if (p->watched_count == max_watched)
        return;
    XSelectInput(p->display, window, PropertyChangeMask);
    p->watched[p->watched_count++] = (struct watched){window, mapped_ms};
}

void on_map(struct probe *p, Window window, double now, const char *title)
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

void on_title_change(struct probe *p, Window window, const char *title)
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
struct rect screen_area(const struct probe *p, Window window)
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

void release_shared_image(struct probe *p)
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
XImage *shared_image(struct probe *p, int width, int height)
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
XImage *grab(struct probe *p, struct rect area)
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

void release_grab(struct probe *p, XImage *image)
{
    if (image != NULL && image != p->grabber.image)
        XDestroyImage(image);
}

/* FNV-1a over the pixel rows, eight bytes at a step; row padding left out. */
uint64_t fingerprint(const XImage *image)
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
unsigned char channel(unsigned long pixel, unsigned long mask)
{
    if (mask == 0)
        return 0;
    unsigned shift = 0;
    while (((mask >> shift) & 1u) == 0)
        ++shift;
    return (unsigned char)(((pixel & mask) >> shift) * 255u / (mask >> shift));
}

void save_ppm(XImage *image, const char *path)
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
uint64_t current_look(struct probe *p, const char *save_to)
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

bool overlaps(struct rect a, const XRectangle *b)
{
    return a.x < b->x + b->width && b->x < a.x + a.width && a.y < b->y + b->height
        && b->y < a.y + a.height;
}

/* Takes the damage gathered since the last call; true if any of it lies in
 * the window. */
bool window_damaged(struct probe *p)
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

/* The process that owns `window`, by its _NET_WM_PID, if that process was
 * started from this process group; else `child`. */
pid_t window_owner(const struct probe *p, Window window, pid_t child)
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
