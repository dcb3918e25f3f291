/* Gives a headless compositor a pointer and a keyboard: with them the seat has both, so the
 * clicks of "swaymsg seat - cursor ..." reach clients, and each SIGUSR1 to this process
 * presses and releases Escape in the focused window. Prints "ready" once both exist and then
 * runs until it is stopped. */
#define _GNU_SOURCE
#include "virtual-keyboard-unstable-v1-client-protocol.h"
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/signalfd.h>
#include <unistd.h>
#include <wayland-client.h>

enum { keymapFormatXkbV1 = 1, keyEscape = 1, released = 0, pressed = 1 };

/* Escape only; the rest comes from the system's xkb data. */
static const char keymap[] = "xkb_keymap {\n"
                             "  xkb_keycodes \"e2e\" { minimum = 8; maximum = 255; <ESC> = 9; };\n"
                             "  xkb_types \"e2e\" { include \"complete\" };\n"
                             "  xkb_compat \"e2e\" { include \"complete\" };\n"
                             "  xkb_symbols \"e2e\" { key <ESC> { [ Escape ] }; };\n"
                             "};\n";

static struct wl_seat *seat;
static struct zwlr_virtual_pointer_manager_v1 *pointers;
static struct zwp_virtual_keyboard_manager_v1 *keyboards;

static void global(void *data, struct wl_registry *registry, uint32_t name,
                   const char *interface, uint32_t version) {
    (void)data;
    (void)version;
    if (!seat && strcmp(interface, wl_seat_interface.name) == 0)
        seat = wl_registry_bind(registry, name, &wl_seat_interface, 1);
    else if (strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        pointers = wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1);
    else if (strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0)
        keyboards = wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1);
}

static void global_remove(void *data, struct wl_registry *registry, uint32_t name) {
    (void)data;
    (void)registry;
    (void)name;
}

static const struct wl_registry_listener listener = {global, global_remove};

int main(void) {
    sigset_t usr1;
    sigemptyset(&usr1);
    sigaddset(&usr1, SIGUSR1);
    sigprocmask(SIG_BLOCK, &usr1, NULL);
    const int signals = signalfd(-1, &usr1, SFD_CLOEXEC);

    struct wl_display *display = wl_display_connect(NULL);
    if (!display) {
        fputs("virtual_input: no Wayland display\n", stderr);
        return 1;
    }
    struct wl_registry *registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &listener, NULL);
    wl_display_roundtrip(display);
    if (!pointers || !keyboards || !seat) {
        fputs("virtual_input: the compositor has no virtual pointer or keyboard\n", stderr);
        return 1;
    }
    zwlr_virtual_pointer_manager_v1_create_virtual_pointer(pointers, seat);
    struct zwp_virtual_keyboard_v1 *keyboard =
        zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(keyboards, seat);
    const int fd = memfd_create("keymap", MFD_CLOEXEC);
    if (fd < 0 || write(fd, keymap, sizeof keymap) != (ssize_t)sizeof keymap) {
        fputs("virtual_input: no keymap\n", stderr);
        return 1;
    }
    zwp_virtual_keyboard_v1_keymap(keyboard, keymapFormatXkbV1, fd, sizeof keymap);
    wl_display_roundtrip(display);
    puts("ready");
    fflush(stdout);

    uint32_t time = 0;
    for (;;) {
        if (wl_display_flush(display) < 0)
            return 0;
        struct pollfd fds[2] = {{wl_display_get_fd(display), POLLIN, 0}, {signals, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0)
            continue;
        if (fds[0].revents & (POLLERR | POLLHUP))
            return 0;
        if ((fds[0].revents & POLLIN) && wl_display_dispatch(display) < 0)
            return 0;
        if (fds[1].revents & POLLIN) {
            struct signalfd_siginfo info;
            if (read(signals, &info, sizeof info) == sizeof info) {
                zwp_virtual_keyboard_v1_key(keyboard, time += 10, keyEscape, pressed);
                zwp_virtual_keyboard_v1_key(keyboard, time += 10, keyEscape, released);
            }
        }
    }
}
