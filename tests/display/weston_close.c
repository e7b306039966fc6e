/* A Weston module for the Wayland test: on SIGUSR2 it asks every desktop
 * window to close, as a click on a window's close button in a desktop would.
 * A headless Weston has no input to click with. */
#include <libweston/libweston.h>
#include <libweston-desktop/libweston-desktop.h>

#include <signal.h>
#include <wayland-server-core.h>

static int close_windows(int signal_number, void *data) {
  struct weston_compositor *compositor = data;
  struct weston_view *view;
  (void)signal_number;
  wl_list_for_each(view, &compositor->view_list, link) {
    struct weston_desktop_surface *surface = weston_surface_get_desktop_surface(view->surface);
    if (surface) weston_desktop_surface_close(surface);
  }
  return 0;
}

WL_EXPORT int wet_module_init(struct weston_compositor *compositor, int *argc, char *argv[]) {
  (void)argc;
  (void)argv;
  struct wl_event_loop *loop = wl_display_get_event_loop(compositor->wl_display);
  return wl_event_loop_add_signal(loop, SIGUSR2, close_windows, compositor) ? 0 : -1;
}
