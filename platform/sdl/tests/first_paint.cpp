// vintaro-first-paint PROGRAM [ARGUMENTS...]: starts PROGRAM on the display
// and prints the milliseconds from its exec to the first pixel it draws that
// is not black, in any window mapped after it started; then ends it. The same
// yardstick for any program, the game or another one beside it, on a display
// of their own. Exit code 1 if nothing was drawn within 30 s.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

bool drawn(Display* d, Window w) {
  XWindowAttributes a{};
  if (XGetWindowAttributes(d, w, &a) == 0 || a.map_state != IsViewable) return false;
  XImage* image = XGetImage(d, w, 0, 0, static_cast<unsigned>(a.width),
                            static_cast<unsigned>(a.height), AllPlanes, ZPixmap);
  if (image == nullptr) return false;
  bool any = false;
  for (int y = 0; y < image->height && !any; ++y) {
    for (int x = 0; x < image->width && !any; ++x) any = (XGetPixel(image, x, y) & 0xFFFFFF) != 0;
  }
  XDestroyImage(image);
  return any;
}

int ignoreErrors(Display*, XErrorEvent*) { return 0; }  // a window gone meanwhile

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: vintaro-first-paint PROGRAM [ARGUMENTS...]\n");
    return 2;
  }
  Display* d = XOpenDisplay(nullptr);
  if (d == nullptr) {
    std::fprintf(stderr, "vintaro-first-paint: no display\n");
    return 2;
  }
  XSetErrorHandler(ignoreErrors);
  XSelectInput(d, DefaultRootWindow(d), SubstructureNotifyMask);
  XSync(d, False);

  const Clock::time_point start = Clock::now();
  const pid_t child = fork();
  if (child == 0) {
    // Standard output is this program's answer alone.
    const int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, 1);
    dup2(quiet, 2);
    execvp(argv[1], argv + 1);
    _exit(127);
  }
  std::vector<Window> mapped;
  double ms = -1;
  while (ms < 0 && Clock::now() - start < std::chrono::seconds(30)) {
    while (XPending(d) > 0) {
      XEvent e;
      XNextEvent(d, &e);
      if (e.type == MapNotify) mapped.push_back(e.xmap.window);
    }
    for (const Window w : mapped) {
      if (!drawn(d, w)) continue;
      ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
      break;
    }
    if (ms < 0) std::this_thread::sleep_for(std::chrono::microseconds(500));
  }
  kill(child, SIGTERM);
  for (int i = 0; i < 40 && waitpid(child, nullptr, WNOHANG) == 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  if (waitpid(child, nullptr, WNOHANG) == 0) {
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
  }
  XCloseDisplay(d);
  if (ms < 0) return 1;
  std::printf("%.1f\n", ms);
  return 0;
}
