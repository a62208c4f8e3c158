// screenwatch: presses a key or clicks on an X display, then watches a region of the screen and
// tells when it last changed, the way a reader sees a view settle.
//
//   screenwatch DISPLAY X,Y,W,H ACTION [--quiet MS] [--timeout MS] [--frames DIR]
//
// ACTION is key:NAME (a keysym, modifiers joined by '+', e.g. key:F5, key:ctrl+Tab), click:X,Y
// (button 1 at that place) or none. The action is sent through XTest; the clock starts just before
// it. The region is then read with XShm every 2 ms; each picture that differs from the one before
// is a frame. Watching ends once the region has stayed the same for the quiet time (after at least
// one change) or at the timeout.
//
// Output, one line: "last_ms=<time of the last change> first_ms=<first change> frames=<count>
// start_monotonic_ms=<the start on CLOCK_MONOTONIC, to match a program's own time stamps>",
// then one line per frame: "frame <n> <ms> filled=<share of rows that are not one colour>
// distinct=<pixel rows that differ from the frame before>". A blank view has filled=0.00; a view
// with only its header shows a small share. With --frames each frame is written as DIR/NNN.ppm.

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/XTest.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct WatchedArea {
    int x = 0, y = 0, w = 0, h = 0;
};

struct Frame {
    double ms;
    double filled;
    int changedRows;
};

double MsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A picture of the region; grabbing it into shared memory costs about a millisecond.
class Grabber {
public:
    Grabber(Display *display, const WatchedArea &region) : display(display), region(region)
    {
        const int screen = DefaultScreen(display);
        image = XShmCreateImage(display, DefaultVisual(display, screen), DefaultDepth(display, screen), ZPixmap,
                                nullptr, &shm, region.w, region.h);
        shm.shmid = shmget(IPC_PRIVATE, image->bytes_per_line * image->height, IPC_CREAT | 0600);
        shm.shmaddr = image->data = static_cast<char *>(shmat(shm.shmid, nullptr, 0));
        shm.readOnly = False;
        XShmAttach(display, &shm);
        XSync(display, False);
        shmctl(shm.shmid, IPC_RMID, nullptr);
    }
    ~Grabber()
    {
        XShmDetach(display, &shm);
        XDestroyImage(image);
        shmdt(shm.shmaddr);
    }
    void Grab() { XShmGetImage(display, DefaultRootWindow(display), image, region.x, region.y, AllPlanes); }
    const unsigned char *Row(int y) const
    {
        return reinterpret_cast<const unsigned char *>(image->data) + static_cast<size_t>(y) * image->bytes_per_line;
    }
    int RowBytes() const { return region.w * 4; }
    int Height() const { return region.h; }

    void WritePpm(const std::string &path) const
    {
        FILE *file = std::fopen(path.c_str(), "wb");
        if (!file)
            return;
        std::fprintf(file, "P6\n%d %d\n255\n", region.w, region.h);
        std::vector<unsigned char> line(region.w * 3);
        for (int y = 0; y < region.h; ++y) {
            const unsigned char *row = Row(y);
            for (int x = 0; x < region.w; ++x) {
                line[x * 3] = row[x * 4 + 2];
                line[x * 3 + 1] = row[x * 4 + 1];
                line[x * 3 + 2] = row[x * 4];
            }
            std::fwrite(line.data(), 1, line.size(), file);
        }
        std::fclose(file);
    }

private:
    Display *display;
    WatchedArea region;
    XImage *image = nullptr;
    XShmSegmentInfo shm{};
};

// A hash per pixel row, so that two pictures compare row by row.
std::vector<unsigned long long> RowHashes(const Grabber &grab)
{
    std::vector<unsigned long long> hashes(grab.Height());
    for (int y = 0; y < grab.Height(); ++y) {
        const unsigned char *row = grab.Row(y);
        unsigned long long h = 1469598103934665603ull;
        for (int i = 0; i < grab.RowBytes(); i += 4) {
            h ^= static_cast<unsigned long long>(row[i] | row[i + 1] << 8 | row[i + 2] << 16);
            h *= 1099511628211ull;
        }
        hashes[y] = h;
    }
    return hashes;
}

// The share of pixel rows that hold more than one colour: the rows with something drawn on them.
double FilledShare(const Grabber &grab)
{
    int filled = 0;
    for (int y = 0; y < grab.Height(); ++y) {
        const unsigned int *row = reinterpret_cast<const unsigned int *>(grab.Row(y));
        const unsigned int first = row[0] & 0xffffff;
        for (int x = 1; x < grab.RowBytes() / 4; ++x) {
            if ((row[x] & 0xffffff) != first) {
                ++filled;
                break;
            }
        }
    }
    return grab.Height() ? static_cast<double>(filled) / grab.Height() : 0;
}

bool SendAction(Display *display, const std::string &action)
{
    if (action == "none")
        return true;
    if (action.rfind("click:", 0) == 0) {
        int x = 0, y = 0;
        if (std::sscanf(action.c_str() + 6, "%d,%d", &x, &y) != 2)
            return false;
        XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
        XTestFakeButtonEvent(display, 1, True, CurrentTime);
        XTestFakeButtonEvent(display, 1, False, CurrentTime);
        XFlush(display);
        return true;
    }
    if (action.rfind("key:", 0) != 0)
        return false;
    std::vector<KeyCode> codes;
    std::string rest = action.substr(4);
    while (!rest.empty()) {
        const size_t plus = rest.find('+', 1);
        std::string name = rest.substr(0, plus);
        rest = plus == std::string::npos ? std::string() : rest.substr(plus + 1);
        if (name == "ctrl")
            name = "Control_L";
        else if (name == "shift")
            name = "Shift_L";
        else if (name == "alt")
            name = "Alt_L";
        const KeySym sym = XStringToKeysym(name.c_str());
        if (sym == NoSymbol)
            return false;
        codes.push_back(XKeysymToKeycode(display, sym));
    }
    for (KeyCode code : codes)
        XTestFakeKeyEvent(display, code, True, CurrentTime);
    for (auto it = codes.rbegin(); it != codes.rend(); ++it)
        XTestFakeKeyEvent(display, *it, False, CurrentTime);
    XFlush(display);
    return true;
}

// Sends the action and watches the region until it settles; prints the frames it saw.
int Watch(Display *display, const WatchedArea &region, const std::string &action, double quietMs, double timeoutMs,
          const std::string &framesDir)
{
    Grabber grab(display, region);
    grab.Grab();
    std::vector<unsigned long long> last = RowHashes(grab);
    std::vector<Frame> frames;

    const Clock::time_point start = Clock::now();
    if (!SendAction(display, action)) {
        std::fprintf(stderr, "bad action %s\n", action.c_str());
        return 2;
    }
    double lastChange = -1;
    while (true) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        grab.Grab();
        const double now = MsSince(start);
        std::vector<unsigned long long> hashes = RowHashes(grab);
        int changed = 0;
        for (size_t y = 0; y < hashes.size(); ++y)
            changed += hashes[y] != last[y];
        if (changed) {
            lastChange = now;
            frames.push_back({now, FilledShare(grab), changed});
            if (!framesDir.empty() && frames.size() <= 200) {
                char name[32];
                std::snprintf(name, sizeof name, "/%03zu.ppm", frames.size());
                grab.WritePpm(framesDir + name);
            }
            last.swap(hashes);
        }
        if (lastChange >= 0 && now - lastChange >= quietMs)
            break;
        if (now >= timeoutMs)
            break;
    }
    std::printf("last_ms=%.1f first_ms=%.1f frames=%zu start_monotonic_ms=%.1f\n", lastChange,
                frames.empty() ? -1.0 : frames.front().ms, frames.size(),
                std::chrono::duration<double, std::milli>(start.time_since_epoch()).count());
    for (size_t i = 0; i < frames.size(); ++i)
        std::printf("frame %zu %.1f filled=%.2f distinct=%d\n", i + 1, frames[i].ms, frames[i].filled,
                    frames[i].changedRows);
    std::fflush(stdout);
    return 0;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: screenwatch DISPLAY X,Y,W,H ACTION [--quiet MS] [--timeout MS] [--frames DIR]\n");
        return 2;
    }
    WatchedArea region;
    if (std::sscanf(argv[2], "%d,%d,%d,%d", &region.x, &region.y, &region.w, &region.h) != 4)
        return 2;
    const std::string action = argv[3];
    double quietMs = 1500, timeoutMs = 30000;
    std::string framesDir;
    for (int i = 4; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--quiet"))
            quietMs = std::atof(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--timeout"))
            timeoutMs = std::atof(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--frames"))
            framesDir = argv[i + 1];
    }
    Display *display = XOpenDisplay(argv[1]);
    if (!display) {
        std::fprintf(stderr, "cannot open display %s\n", argv[1]);
        return 1;
    }
    int status = Watch(display, region, action, quietMs, timeoutMs, framesDir);
    XCloseDisplay(display);
    return status;
}
