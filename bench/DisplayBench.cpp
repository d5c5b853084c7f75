// SPDX-License-Identifier: MIT
// Speed of what the player sees: reading the texture images, drawing one
// frame on Mesa's software renderer at the game's 300 by 300, and the time
// from starting the game to its first frame on screen.
//
// The bench starts its own X servers (Xvfb): one for the frames, drawn in a
// window of this process, and one with a black root for the start-up runs,
// in which the real game binary is started and watched from outside.

#include <benchmark/benchmark.h>

#include <GL/freeglut.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "GLTestWindow.h"
#include "HeapCount.h"
#include "MazeGameControl.h"
#include "MazeGameRenderer.h"
#include "MazeGameState.h"
#include "PPMImage.h"

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// ---- images

std::string bigImagePath;

// A 1024 by 1024 binary PPM of noise, written once for the reading bench.
bool writeBigImage()
{
    char path[] = "/tmp/dew_bench_XXXXXX.ppm";
    int fd = mkstemps(path, 4);
    if (fd < 0)
        return false;
    FILE* f = fdopen(fd, "wb");
    const int side = 1024;
    fprintf(f, "P6\n%d %d\n255\n", side, side);
    std::vector<unsigned char> row(3 * side);
    unsigned state = 12345;
    for (int y = 0; y < side; y++) {
        for (unsigned char& c : row) {
            state = state * 1103515245u + 12345u;
            c = (unsigned char)(state >> 16);
        }
        fwrite(row.data(), 1, row.size(), f);
    }
    fclose(f);
    bigImagePath = path;
    return true;
}

void readImage(benchmark::State& state, const char* path)
{
    std::vector<double> times;
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        PPMImage image;
        void* data = image.load(path);
        if (!data) {
            state.SkipWithError("the image could not be read");
            return;
        }
        benchmark::DoNotOptimize(image.data);
        image.free();
        times.push_back(millisecondsSince(start));
    }
    state.counters["median_ms"] = median(times);
}

void BM_ReadFloorTexture(benchmark::State& state) { readImage(state, "floor.ppm"); }
void BM_ReadBricksTexture(benchmark::State& state) { readImage(state, "bricks.ppm"); }
void BM_ReadImage1024(benchmark::State& state) { readImage(state, bigImagePath.c_str()); }

BENCHMARK(BM_ReadFloorTexture)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadBricksTexture)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadImage1024)->Unit(benchmark::kMillisecond)->UseRealTime();

// ---- frames

// The game's renderer in a window of this process, and a game in progress:
// its flock has had time to gather and droplets are falling.
struct Scene {
    MazeGameRenderer renderer;
    MazeGameControl control;
    bool ready = false;
};

Scene* scene = nullptr;

Scene* openScene(std::string& error)
{
    if (scene)
        return scene->ready ? scene : nullptr;
    scene = new Scene;
    if (!GLTestWindow::open(error))
        return nullptr;
    scene->renderer.init();
    srand(20240607);
    scene->control.init();
    scene->control.gameStatus = EFirstPersonView;
    MazeGameState& world = *scene->control.gameState;
    for (int t = 0; t < 600; t++) {
        scene->control.cycle();
        scene->control.gameStatus = EFirstPersonView;
    }
    world.player.canViewMap = true;
    // A catch turns the next frame into a plain green flash; draw the
    // scene itself.
    world.player.wowed = false;
    scene->ready = true;
    return scene;
}

void BM_Frame(benchmark::State& state)
{
    std::string error;
    Scene* s = openScene(error);
    if (!s) {
        state.SkipWithError(("no window: " + error).c_str());
        return;
    }
    s->control.gameStatus = (MazeGameStatus)state.range(0);
    // With swap, a frame is drawn and shown, as in the game; without, it is
    // only drawn (glFinish waits for the rasteriser), which tells the cost
    // of drawing from the cost of handing the picture to the X server.
    const bool swap = state.range(1) != 0;
    // The first frame of a screen may set up driver state; time the rest.
    s->renderer.render(s->control);
    glutSwapBuffers();
    glFinish();
    const long allocations = heapAllocations();
    for (auto _ : state) {
        s->renderer.render(s->control);
        if (swap)
            glutSwapBuffers();
        else
            glFinish();
    }
    glFinish();
    state.counters["fps"] = benchmark::Counter((double)state.iterations(), benchmark::Counter::kIsRate);
    state.counters["allocs_per_frame"] = double(heapAllocations() - allocations) / state.iterations();
    state.counters["birds"] = s->control.gameState->boids.count();
}

BENCHMARK(BM_Frame)
    ->ArgNames({"screen", "swap"})
    ->Args({EFirstPersonView, 1})
    ->Args({EMapView, 1})
    ->Args({ETitle1Msg, 1})
    ->Args({EFirstPersonView, 0})
    ->Args({EMapView, 0})
    ->Args({ETitle1Msg, 0})
    ->Iterations(3000)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

// ---- start-up

// Starts Xvfb with a black root on a free display and returns its number,
// or -1. A window that has not been drawn into yet shows the black root.
int startBlackXvfb(pid_t& pid)
{
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    pid = fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        close(fds[0]);
        int devnull = open("/dev/null", O_WRONLY);
        if (devnull >= 0) {
            dup2(devnull, 1);
            dup2(devnull, 2);
        }
        std::string fd = std::to_string(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "640x480x24", "-br",
               "-nolisten", "tcp", (char*)nullptr);
        _exit(127);
    }
    close(fds[1]);
    std::string number;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(fds[0]);
    if (number.empty()) {
        waitpid(pid, nullptr, 0);
        pid = -1;
        return -1;
    }
    return atoi(number.c_str());
}

int ignoreXErrors(Display*, XErrorEvent*)
{
    return 0;
}

// Whether any pixel of rows y of the window is not black.
bool drawnInto(Display* display, Window window, const int* rows, int rowCount)
{
    for (int k = 0; k < rowCount; k++) {
        XImage* image = XGetImage(display, window, 0, rows[k], 300, 1, AllPlanes, ZPixmap);
        if (!image)
            return false;
        bool drawn = false;
        for (int x = 0; x < 300 && !drawn; x++)
            drawn = (XGetPixel(image, x, 0) & 0xffffff) != 0;
        XDestroyImage(image);
        if (drawn)
            return true;
    }
    return false;
}

// One start of the game: from fork to the first frame on screen, in
// milliseconds, or a negative value if no frame came within five seconds.
double startOnce(Display* display, int displayNumber, double& mappedMs)
{
    Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, True);

    std::string displayVar = "DISPLAY=:" + std::to_string(displayNumber);
    Clock::time_point start = Clock::now();
    pid_t game = fork();
    if (game < 0)
        return -1;
    if (game == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        // The game reads its textures from the working folder.
        if (chdir(DEW_BUILD_DIR) != 0)
            _exit(126);
        char* argv[] = {(char*)DEW_GAME_BINARY, nullptr};
        char* envp[] = {(char*)displayVar.c_str(), nullptr};
        execve(DEW_GAME_BINARY, argv, envp);
        _exit(127);
    }

    Window window = 0;
    double result = -1;
    mappedMs = -1;
    const int rows[] = {0, 100, 150, 200, 299};
    while (millisecondsSince(start) < 5000) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && window == 0) {
                window = event.xmap.window;
                mappedMs = millisecondsSince(start);
            }
        }
        if (window != 0 && drawnInto(display, window, rows, 5)) {
            result = millisecondsSince(start);
            break;
        }
        usleep(500);
    }
    kill(game, SIGTERM);
    waitpid(game, nullptr, 0);
    XSelectInput(display, root, NoEventMask);
    XSync(display, True);
    return result;
}

void BM_StartUp(benchmark::State& state)
{
    pid_t server = -1;
    int number = startBlackXvfb(server);
    if (number < 0) {
        state.SkipWithError("Xvfb did not start");
        return;
    }
    std::string name = ":" + std::to_string(number);
    Display* display = XOpenDisplay(name.c_str());
    if (!display) {
        kill(server, SIGTERM);
        waitpid(server, nullptr, 0);
        state.SkipWithError("cannot open the Xvfb display");
        return;
    }
    XSetErrorHandler(ignoreXErrors);

    std::vector<double> firstFrame, mapped;
    for (auto _ : state) {
        double mappedMs = 0;
        double ms = startOnce(display, number, mappedMs);
        if (ms < 0) {
            state.SkipWithError("the game showed no frame within 5 s");
            break;
        }
        state.SetIterationTime(ms / 1000.0);
        firstFrame.push_back(ms);
        mapped.push_back(mappedMs);
    }
    state.counters["median_first_frame_ms"] = median(firstFrame);
    state.counters["median_window_mapped_ms"] = median(mapped);

    XCloseDisplay(display);
    kill(server, SIGTERM);
    waitpid(server, nullptr, 0);
}

BENCHMARK(BM_StartUp)->Iterations(15)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    // The textures are read from the build folder, as the game reads them
    // from its working folder.
    if (chdir(DEW_BUILD_DIR) != 0) {
        perror(DEW_BUILD_DIR);
        return 1;
    }
    if (!writeBigImage()) {
        perror("/tmp");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    unlink(bigImagePath.c_str());
    if (scene) {
        if (scene->ready)
            scene->renderer.quit();
        GLTestWindow::close();
    }
    return 0;
}
