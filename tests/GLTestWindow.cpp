// SPDX-License-Identifier: MIT
#include "GLTestWindow.h"

#include <GL/freeglut.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

// Mesa's driver keeps allocations for the life of the process; kept loaded
// (see open), they carry its name in the sanitizer build's leak report.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:_dri.so\nleak:libgallium\n";
}

static pid_t xvfbPid = -1;

bool GLTestWindow::startServer(std::string& error)
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
    return setenv("DISPLAY", display.c_str(), 1) == 0;
}

bool GLTestWindow::open(std::string& error)
{
    if (!startServer(error))
        return false;
    int argc = 1;
    char* argv[] = {(char*)"gltest", nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(300, 300);
    glutCreateWindow("Dewgatherer");
    glutDisplayFunc([] {});
    for (int k = 0; k < 10; k++) // lets the window map and the default reshape set the viewport
        glutMainLoopEvent();
    std::vector<std::string> driver;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* names) {
            if (info->dlpi_name &&
                (strstr(info->dlpi_name, "_dri.so") || strstr(info->dlpi_name, "libgallium")))
                static_cast<std::vector<std::string>*>(names)->push_back(info->dlpi_name);
            return 0;
        },
        &driver);
    for (const std::string& lib : driver)
        dlopen(lib.c_str(), RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
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
