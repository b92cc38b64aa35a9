// velmora-xshape-holes WINDOW: prints the pixels of an X window that its
// bounding shape leaves out, for the end-to-end tests to compare with the
// window region the program computes on the headless host.
//
// Output: "WIDTHxHEIGHT" on the first line, then one "X Y" line per pixel
// outside the shape, row by row; "unshaped" alone when the window has no
// bounding shape. Exit status 2 when the window cannot be read.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

// Xlib last: its macros clash with names in the standard headers.
#include <X11/Xlib.h>
#include <X11/extensions/shape.h>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: velmora-xshape-holes WINDOW_ID\n");
    return 2;
  }
  Display* dpy = XOpenDisplay(nullptr);
  if (!dpy) {
    std::fprintf(stderr, "velmora-xshape-holes: cannot open the display\n");
    return 2;
  }
  Window w = Window(std::strtoul(argv[1], nullptr, 0));
  XWindowAttributes a{};
  if (!XGetWindowAttributes(dpy, w, &a)) {
    std::fprintf(stderr, "velmora-xshape-holes: no window %s\n", argv[1]);
    return 2;
  }
  Bool bounding = False, clip = False;
  int x = 0, y = 0, cx = 0, cy = 0;
  unsigned wb = 0, hb = 0, wc = 0, hc = 0;
  XShapeQueryExtents(dpy, w, &bounding, &x, &y, &wb, &hb, &clip, &cx, &cy, &wc, &hc);
  if (!bounding) {
    std::printf("unshaped\n");
    XCloseDisplay(dpy);
    return 0;
  }
  int count = 0, ordering = 0;
  XRectangle* r = XShapeGetRectangles(dpy, w, ShapeBounding, &count, &ordering);
  std::vector<unsigned char> in(std::size_t(a.width) * std::size_t(a.height), 0);
  for (int i = 0; i < count; ++i)
    for (int py = std::max(0, int(r[i].y)); py < std::min(a.height, r[i].y + r[i].height); ++py)
      for (int px = std::max(0, int(r[i].x)); px < std::min(a.width, r[i].x + r[i].width); ++px)
        in[std::size_t(py) * std::size_t(a.width) + std::size_t(px)] = 1;
  if (r) XFree(r);
  std::printf("%dx%d\n", a.width, a.height);
  for (int py = 0; py < a.height; ++py)
    for (int px = 0; px < a.width; ++px)
      if (!in[std::size_t(py) * std::size_t(a.width) + std::size_t(px)])
        std::printf("%d %d\n", px, py);
  XCloseDisplay(dpy);
  return 0;
}
