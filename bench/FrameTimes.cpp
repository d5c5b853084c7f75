// SPDX-License-Identifier: MIT
// Frame times of the three kinds of screen (a title page, play, the map),
// drawn by the game's renderer in a GLUT window as the game draws them:
// built natively on Mesa and freeglut, and for the browser on the web GL
// layer (scripts/bench.sh --web runs both). Each screen is drawn for a
// warm-up and then FRAMES frames, the world ticking every third frame; then
// the program prints, per screen, the percentiles of the time between one
// frame and the next (the browser caps it at its display's rate) and of the
// time the frame's drawing took, and ends.
#include <GL/glut.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "GameRandom.h"
#include "MazeGameControl.h"
#include "MazeGameRenderer.h"
#include "MazeGameState.h"

namespace {

using Clock = std::chrono::steady_clock;

const int kWarmUp = 30;
const int kFrames = 600;

struct Screen {
    const char* name;
    MazeGameStatus status;
    std::vector<double> between, drawing;
};

Screen screens[] = {{"title page", ETitle1Msg, {}, {}}, {"play", EFirstPersonView, {}, {}}, {"map", EMapView, {}, {}}};
MazeGameControl* control = nullptr;
MazeGameRenderer* renderer = nullptr;
int frame = 0;
Clock::time_point lastFrame;

double milliseconds(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, (size_t)(p / 100 * v.size()))];
}

void report()
{
    printf("%-11s %27s   %27s\n", "", "frame to frame (ms)", "drawing (ms)");
    printf("%-11s %6s %6s %6s %6s   %6s %6s %6s %6s\n", "screen", "p50", "p90", "p99", "max", "p50", "p90", "p99", "max");
    for (const Screen& s : screens) {
        printf("%-11s", s.name);
        for (const std::vector<double>* times : {&s.between, &s.drawing})
            printf(" %6.2f %6.2f %6.2f %6.2f  ", percentile(*times, 50), percentile(*times, 90), percentile(*times, 99),
                percentile(*times, 100));
        printf("\n");
    }
    printf("frames per screen: %d\n", kFrames);
    fflush(stdout);
}

void display()
{
    Screen& screen = screens[frame / (kWarmUp + kFrames)];
    int within = frame % (kWarmUp + kFrames);
    control->gameStatus = screen.status;
    if (screen.status != ETitle1Msg && frame % 3 == 0) {
        control->cycle();
        control->gameStatus = screen.status;
    }
    control->gameState->player.wowed = false; // a catch's flash is a plain green frame
    Clock::time_point start = Clock::now();
    renderer->render(*control);
    glutSwapBuffers();
    Clock::time_point end = Clock::now();
    if (within >= kWarmUp) {
        screen.between.push_back(milliseconds(lastFrame, start));
        screen.drawing.push_back(milliseconds(start, end));
    }
    lastFrame = start;
    if (++frame == 3 * (kWarmUp + kFrames)) {
        report();
        exit(0);
    }
    glutPostRedisplay();
}

} // namespace

int main(int argc, char** argv)
{
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(300, 300);
    glutCreateWindow("Dewgatherer");
    glutDisplayFunc(display);
    // A game under way: the flock has had time to gather and droplets fall.
    GameRandom::srand(20240607);
    control = new MazeGameControl();
    renderer = new MazeGameRenderer();
    control->init();
    renderer->init();
    control->gameStatus = EFirstPersonView;
    for (int t = 0; t < 600; t++) {
        control->cycle();
        control->gameStatus = EFirstPersonView;
    }
    control->gameState->player.canViewMap = true;
    lastFrame = Clock::now();
    glutMainLoop();
    return 0;
}
