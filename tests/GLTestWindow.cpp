// SPDX-License-Identifier: MIT
#include "GLTestWindow.h"

#include <GL/freeglut.h>

#include <csignal>
#include <cstdlib>
#include <dlfcn.h>
#include <fcntl.h>
#include <glob.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

static pid_t xvfbPid = -1;

// A 300 by 300 window titled as the game's, mapped and with its viewport set
// by the default reshape.
static void createWindow()
{
    glutInitWindowSize(300, 300);
    glutCreateWindow("Dewgatherer");
    glutDisplayFunc([] {});
    for (int k = 0; k < 10; k++)
        glutMainLoopEvent();
}

bool GLTestWindow::open(std::string& error)
{
    int fds[2] = {-1, -1};
    pid_t pid = pipe(fds) == 0 ? fork() : -1;
    if (pid == 0) { // Xvfb picks a free display and writes its number to the pipe
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        dup2(::open("/dev/null", O_WRONLY), 2);
        std::string fd = std::to_string(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "640x480x24", (char*)nullptr);
        _exit(127);
    }
    std::string display = ":";
    ::close(fds[1]);
    for (char c; pid > 0 && read(fds[0], &c, 1) == 1 && c != '\n';)
        display += c;
    ::close(fds[0]);
    if (display == ":") {
        error = "Xvfb did not start (is the xvfb package installed?)";
        return false;
    }
    xvfbPid = pid;
    setenv("DISPLAY", display.c_str(), 1);
    int argc = 1;
    char* argv[] = {(char*)"gltest", nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    createWindow();
    // Mesa's driver keeps allocations for the life of the process: kept loaded
    // to the end, it is named in the sanitizer build's leak report, where
    // tests/lsan-gl-driver.supp suppresses it.
    glob_t driver{};
    glob("/usr/lib/*/dri/swrast_dri.so", 0, nullptr, &driver);
    glob("/usr/lib/*/libgallium*.so", GLOB_APPEND, nullptr, &driver);
    for (size_t k = 0; k < driver.gl_pathc; k++)
        dlopen(driver.gl_pathv[k], RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
    globfree(&driver);
    return true;
}

void GLTestWindow::close()
{
    if (xvfbPid <= 0)
        return;
    glutDestroyWindow(glutGetWindow());
    glutMainLoopEvent();
    glutExit(); // closes GLUT's display connection while the server still runs
    kill(xvfbPid, SIGTERM);
    waitpid(xvfbPid, nullptr, 0);
    xvfbPid = -1;
}

Frame GLTestWindow::readBackBuffer()
{
    Frame f{300, 300, std::vector<unsigned char>(3 * 300 * 300)};
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 300, 300, GL_RGB, GL_UNSIGNED_BYTE, f.pixels.data());
    return f;
}
