// Starts a program on the X display and reports, from outside it, when its window was mapped,
// when a given pixel of it first showed a given colour, and its resident memory a while later.
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <set>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

[[noreturn]] void die(const char *message)
{
    std::fprintf(stderr, "startup_probe: %s\n", message);
    std::exit(EXIT_FAILURE);
}

long residentKilobytes(pid_t pid)
{
    const std::string path = "/proc/" + std::to_string(pid) + "/status";
    FILE *status = std::fopen(path.c_str(), "r");
    if (!status)
        return -1;
    char line[256];
    long kilobytes = -1;
    while (std::fgets(line, sizeof line, status))
        if (std::sscanf(line, "VmRSS: %ld kB", &kilobytes) == 1)
            break;
    std::fclose(status);
    return kilobytes;
}

struct Pixel
{
    int x = 0;
    int fromBottom = 0; // rows above the window's bottom edge, so the menu bar's height is moot
    unsigned colour = 0; // 0xRRGGBB
};

// The pixel's colour in `window`, whose height is `height`.
unsigned pixelColour(xcb_connection_t *connection, xcb_window_t window, int height,
                     const Pixel &pixel)
{
    const auto y = static_cast<int16_t>(height - 1 - pixel.fromBottom);
    auto *reply = xcb_get_image_reply(connection,
                                      xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window,
                                                    int16_t(pixel.x), y, 1, 1, ~0u),
                                      nullptr);
    if (!reply)
        return ~0u;
    unsigned colour = ~0u;
    if (xcb_get_image_data_length(reply) >= 3) {
        const uint8_t *bgr = xcb_get_image_data(reply); // 32-bit pixels, little-endian
        colour = unsigned(bgr[2]) << 16 | unsigned(bgr[1]) << 8 | bgr[0];
    }
    std::free(reply);
    return colour;
}

} // namespace

// Usage: startup_probe X FROM_BOTTOM RRGGBB SETTLE_MS PROGRAM [ARGUMENTS...]
// Prints "MAPPED_MS PAINTED_MS RSS_KB".
int main(int argc, char *argv[])
{
    if (argc < 6)
        die("usage: startup_probe X FROM_BOTTOM RRGGBB SETTLE_MS PROGRAM [ARGUMENTS...]");
    const Pixel pixel {std::atoi(argv[1]), std::atoi(argv[2]),
                       unsigned(std::strtoul(argv[3], nullptr, 16))};
    const int settleMilliseconds = std::atoi(argv[4]);

    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection))
        die("cannot connect to the X display");
    // The program must not inherit our connection.
    fcntl(xcb_get_file_descriptor(connection), F_SETFD, FD_CLOEXEC);
    auto *damageVersion = xcb_damage_query_version_reply(
        connection, xcb_damage_query_version(connection, 1, 1), nullptr);
    if (!damageVersion)
        die("the X server lacks the DAMAGE extension");
    std::free(damageVersion);
    const uint8_t damageNotify
        = xcb_get_extension_data(connection, &xcb_damage_id)->first_event + XCB_DAMAGE_NOTIFY;

    xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const uint32_t rootEvents = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, screen->root, XCB_CW_EVENT_MASK, &rootEvents);
    xcb_flush(connection);

    const Clock::time_point start = Clock::now();
    const pid_t child = fork();
    if (child < 0)
        die("cannot fork");
    if (child == 0) {
        execv(argv[5], argv + 5);
        std::perror("startup_probe: exec");
        _exit(127);
    }

    std::set<xcb_window_t> windows;
    xcb_window_t mappedWindow = 0;
    int mappedHeight = 0;
    double mapped = -1, painted = -1;
    while (painted < 0) {
        if (millisecondsSince(start) > 20000) {
            kill(child, SIGKILL);
            die("no window showed the pixel within 20 s");
        }
        pollfd wake {xcb_get_file_descriptor(connection), POLLIN, 0};
        xcb_generic_event_t *event = xcb_poll_for_event(connection);
        if (!event) {
            if (xcb_connection_has_error(connection))
                die("lost the X connection");
            poll(&wake, 1, 100);
            continue;
        }
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_CREATE_NOTIFY) {
            const auto *created = reinterpret_cast<xcb_create_notify_event_t *>(event);
            if (created->parent == screen->root && !created->override_redirect) {
                windows.insert(created->window);
                xcb_damage_create(connection, xcb_generate_id(connection), created->window,
                                  XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
                xcb_flush(connection);
            }
        } else if (type == XCB_MAP_NOTIFY) {
            const auto *map = reinterpret_cast<xcb_map_notify_event_t *>(event);
            if (mapped < 0 && windows.count(map->window)) {
                mapped = millisecondsSince(start);
                mappedWindow = map->window;
                auto *geometry = xcb_get_geometry_reply(
                    connection, xcb_get_geometry(connection, mappedWindow), nullptr);
                mappedHeight = geometry ? geometry->height : 0;
                std::free(geometry);
            }
        } else if (type == XCB_CONFIGURE_NOTIFY) {
            const auto *configure = reinterpret_cast<xcb_configure_notify_event_t *>(event);
            if (configure->window == mappedWindow)
                mappedHeight = configure->height;
        } else if (type == damageNotify) {
            const auto *damage = reinterpret_cast<xcb_damage_notify_event_t *>(event);
            if (damage->drawable == mappedWindow
                && pixelColour(connection, mappedWindow, mappedHeight, pixel) == pixel.colour)
                painted = millisecondsSince(start);
        }
        std::free(event);
    }

    std::this_thread::sleep_for(std::chrono::milliseconds(settleMilliseconds));
    const long rss = residentKilobytes(child);
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    xcb_disconnect(connection);
    std::printf("%.2f %.2f %ld\n", mapped, painted, rss);
    return EXIT_SUCCESS;
}
