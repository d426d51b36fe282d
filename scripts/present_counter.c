/* Counts a program's presents and keyboard reads from outside it, for
 * scripts/bench-x11.sh. Preloaded (LD_PRELOAD), it wraps XShmPutImage,
 * XPutImage, XSync and XFlush: a present is an XSync or XFlush that follows
 * at least one put, however many rectangles the puts sent. It also wraps
 * xcb_query_keymap, which saver and standalone send once a frame to read the
 * keys: their frames, counted whatever a frame's present is made of. The
 * counts go into the 24-byte file PRESENT_COUNTER_FILE names, mapped shared,
 * so that the script can read them while the program runs: puts, presents,
 * then keyboard reads, each a little-endian 64-bit count. */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>
#include <xcb/xcb.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <unistd.h>

static volatile uint64_t* counts;
static uint64_t putsSincePresent;

static void Count(void) {
  if (counts != NULL) return;
  const char* path = getenv("PRESENT_COUNTER_FILE");
  if (path == NULL) return;
  int fd = open(path, O_RDWR | O_CREAT, 0600);
  if (fd < 0) return;
  if (ftruncate(fd, 24) == 0) {
    void* map = mmap(NULL, 24, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (map != MAP_FAILED) counts = map;
  }
  close(fd);
}

static void Put(void) {
  Count();
  if (counts != NULL) ++counts[0];
  ++putsSincePresent;
}

Bool XShmPutImage(Display* d, Drawable w, GC gc, XImage* image, int sx, int sy, int dx, int dy,
                  unsigned width, unsigned height, Bool sendEvent) {
  static Bool (*real)(Display*, Drawable, GC, XImage*, int, int, int, int, unsigned, unsigned, Bool);
  if (real == NULL) *(void**)&real = dlsym(RTLD_NEXT, "XShmPutImage");
  Put();
  return real(d, w, gc, image, sx, sy, dx, dy, width, height, sendEvent);
}

int XPutImage(Display* d, Drawable w, GC gc, XImage* image, int sx, int sy, int dx, int dy,
              unsigned width, unsigned height) {
  static int (*real)(Display*, Drawable, GC, XImage*, int, int, int, int, unsigned, unsigned);
  if (real == NULL) *(void**)&real = dlsym(RTLD_NEXT, "XPutImage");
  Put();
  return real(d, w, gc, image, sx, sy, dx, dy, width, height);
}

static void Presented(void) {
  if (putsSincePresent > 0 && counts != NULL) ++counts[1];
  putsSincePresent = 0;
}

int XSync(Display* d, Bool discard) {
  static int (*real)(Display*, Bool);
  if (real == NULL) *(void**)&real = dlsym(RTLD_NEXT, "XSync");
  Presented();
  return real(d, discard);
}

int XFlush(Display* d) {
  static int (*real)(Display*);
  if (real == NULL) *(void**)&real = dlsym(RTLD_NEXT, "XFlush");
  Presented();
  return real(d);
}

xcb_query_keymap_cookie_t xcb_query_keymap(xcb_connection_t* c) {
  static xcb_query_keymap_cookie_t (*real)(xcb_connection_t*);
  if (real == NULL) *(void**)&real = dlsym(RTLD_NEXT, "xcb_query_keymap");
  Count();
  if (counts != NULL) ++counts[2];
  return real(c);
}
