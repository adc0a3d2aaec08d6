/* Times a program's start up to the moment its window shows, for bench/startup_bench.sh:
 *
 *   x11_time_window CAPTION PROGRAM [ARG...]
 *
 * starts PROGRAM and waits for the X server to map a top-level window named CAPTION, then
 * prints the milliseconds since the start and the program's process id, and leaves it
 * running; after 30 s without the window it fails. A wine window that is mapped is on
 * the screen: there is no window manager, and wine's virtual desktop draws nothing over
 * its windows. The server reports the mapping as it happens, so nothing polls and takes
 * processor time from the program being timed. */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

static double NowMs(void) {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return (double)now.tv_sec * 1000.0 + (double)now.tv_nsec / 1e6;
}

static int Named(Display* display, Window window, const char* caption) {
  char* name = NULL;
  int same = XFetchName(display, window, &name) && name != NULL && strcmp(name, caption) == 0;
  if (name != NULL) XFree(name);
  return same;
}

/* A window may be gone by the time it is asked about: not an error here. */
static int IgnoreError(Display* display, XErrorEvent* error) {
  (void)display, (void)error;
  return 0;
}

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: x11_time_window CAPTION PROGRAM [ARG...]\n");
    return 2;
  }
  Display* display = XOpenDisplay(NULL);
  if (display == NULL) {
    fprintf(stderr, "x11_time_window: cannot open the display\n");
    return 1;
  }
  XSetErrorHandler(IgnoreError);
  /* Asked for before the program starts, so that no mapping can be missed: of the root's
   * children, and of their children, which is where wine's virtual desktop puts them. */
  const Window root = DefaultRootWindow(display);
  XSelectInput(display, root, SubstructureNotifyMask);
  Window ignored, *children = NULL;
  unsigned int count = 0;
  if (XQueryTree(display, root, &ignored, &ignored, &children, &count)) {
    for (unsigned int i = 0; i < count; i++) XSelectInput(display, children[i], SubstructureNotifyMask);
    if (children != NULL) XFree(children);
  }
  XSync(display, False);
  const double start = NowMs();
  const pid_t child = fork();
  if (child == 0) {
    /* The program's output must not hold the pipe our figures are read from. */
    const int none = open("/dev/null", O_RDWR);
    dup2(none, STDIN_FILENO);
    dup2(none, STDOUT_FILENO);
    close(ConnectionNumber(display));
    execvp(argv[2], argv + 2);
    _exit(127);
  }
  alarm(30);
  for (;;) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.type == MapNotify && Named(display, event.xmap.window, argv[1])) break;
  }
  printf("%.0f %d\n", NowMs() - start, (int)child);
  return 0;
}
