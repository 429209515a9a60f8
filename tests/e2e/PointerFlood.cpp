// Floods the X server with relative pointer motion through the XTEST extension, the way a very
// fast mouse does: every event reaches listeners of raw motion on the root window.
//     pointer-flood EVENTS_PER_SECOND SECONDS X Y
// The pointer is first warped to (X, Y) and then jitters by one pixel around it. Prints how many
// events were sent and how long that took.
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

int main(int argc, char *argv[])
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: pointer-flood EVENTS_PER_SECOND SECONDS X Y\n");
        return 2;
    }
    const long rate = std::atol(argv[1]);
    const double seconds = std::atof(argv[2]);
    const auto x = static_cast<int16_t>(std::atoi(argv[3]));
    const auto y = static_cast<int16_t>(std::atoi(argv[4]));

    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "pointer-flood: no X display\n");
        return 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_test_fake_input(connection, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, root, x, y, 0);

    // Sent in slices of 10 ms, each slice's events in one burst, so the rate holds on average
    // without a timer per event.
    using Clock = std::chrono::steady_clock;
    constexpr auto slice = std::chrono::milliseconds(10);
    const long perSlice = rate / 100;
    const long slices = static_cast<long>(seconds * 100);
    const auto start = Clock::now();
    long sent = 0;
    for (long i = 0; i < slices; ++i) {
        for (long j = 0; j < perSlice; ++j, ++sent) {
            const int16_t step = (sent % 2 == 0) ? 1 : -1;
            // detail 1: relative to where the pointer is
            xcb_test_fake_input(connection, XCB_MOTION_NOTIFY, 1, XCB_CURRENT_TIME, XCB_NONE, step, 0, 0);
        }
        xcb_flush(connection);
        std::this_thread::sleep_until(start + (i + 1) * slice);
    }
    // A round trip: every event sent has been taken by the server.
    free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    const double took = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("sent %ld motion events in %.2f s\n", sent, took);
    const bool failed = xcb_connection_has_error(connection) != 0;
    xcb_disconnect(connection);
    return failed ? 1 : 0;
}
