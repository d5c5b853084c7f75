// SPDX-License-Identifier: MIT
#include <GL/glut.h>

#include <cstdlib>
#include <ctime>

#include "GameRandom.h"
#include "MazeGameControl.h"
#include "MazeGameRenderer.h"
#include "TickClock.h"

MazeGameControl* gameControl = nullptr;
MazeGameRenderer* gameRenderer = nullptr;
int lastTime = 0; // milliseconds since glutInit at the last tick

void init()
{
    GameRandom::srand(time(0));
    gameControl = new MazeGameControl();
    gameRenderer = new MazeGameRenderer();
    gameControl->init();
    gameRenderer->init();
}

void quit()
{
    gameControl->quit();
    gameRenderer->quit();
    delete gameRenderer;
    if (gameControl)
        delete gameControl;
    exit(0);
}

void idle()
{
    int curTime = glutGet(GLUT_ELAPSED_TIME);
    if (tickDue(curTime, lastTime))
        gameControl->cycle();
    glutPostRedisplay();
}

void display()
{
    gameRenderer->render(*gameControl);
    glutSwapBuffers();
}

void keyboard(unsigned char key, int /*x*/, int /*y*/)
{
    switch (key) {
    case 27:
        quit();
        break;
    case 13:
        gameControl->pushOK();
        break;
    case 32:
        gameControl->shoot();
        break;
    default:
        break;
    }
}

void special(int key, int /*x*/, int /*y*/)
{
    switch (key) {
    case GLUT_KEY_UP:
        gameControl->move(1, 0, 0);
        break;
    case GLUT_KEY_DOWN:
        gameControl->move(-1, 0, 0);
        break;
    case GLUT_KEY_LEFT:
        gameControl->turn(-1);
        break;
    case GLUT_KEY_RIGHT:
        gameControl->turn(1);
        break;
    default:
        break;
    }
}

int main(int argc, char** argv)
{
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(300, 300);
    glutInitWindowPosition(30, 30);
    glutCreateWindow("Dewgatherer");
    glutDisplayFunc(display);
    glutKeyboardFunc(keyboard);
    glutSpecialFunc(special);
    glutIdleFunc(idle);
    init();
    glutMainLoop();
    return 0;
}
