/* The screen side of startup_probe (startup_probe.c says what it measures):
 * the X connection, the windows it watches for the title, reading a window's
 * pixels back and fingerprinting them, and which process owns a window. */
#pragma once

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

int ignore_x_error(Display *display, XErrorEvent *error);
bool connect_display(struct probe *p);
bool title_matches(const struct probe *p, Window window, const char *title);
void watch_for_title(struct probe *p, Window window, double mapped_ms);
void on_map(struct probe *p, Window window, double now, const char *title);
void on_title_change(struct probe *p, Window window, const char *title);
struct rect screen_area(const struct probe *p, Window window);
void release_shared_image(struct probe *p);
XImage *shared_image(struct probe *p, int width, int height);
XImage *grab(struct probe *p, struct rect area);
void release_grab(struct probe *p, XImage *image);
uint64_t fingerprint(const XImage *image);
unsigned char channel(unsigned long pixel, unsigned long mask);
void save_ppm(XImage *image, const char *path);
uint64_t current_look(struct probe *p, const char *save_to);
bool overlaps(struct rect a, const XRectangle *b);
bool window_damaged(struct probe *p);
pid_t window_owner(const struct probe *p, Window window, pid_t child);
