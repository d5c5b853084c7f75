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

// Mesa's software driver keeps some allocations for the life of the process
// and is unloaded when the display closes, leaving LeakSanitizer (in the
// sanitizer build) with reports it cannot place. The driver is kept loaded so
// those allocations carry its name and are left out; the game's own code is
// not covered by this.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:_dri.so\nleak:libgallium\n";
}

namespace {

pid_t xvfbPid = -1;
int window = 0;

void noDisplay() {}

int collectDriver(struct dl_phdr_info* info, size_t, void* names)
{
    const char* name = info->dlpi_name;
    if (name && (strstr(name, "_dri.so") || strstr(name, "libgallium")))
        static_cast<std::vector<std::string>*>(names)->push_back(name);
    return 0;
}

void keepDriverLoaded()
{
    std::vector<std::string> names;
    dl_iterate_phdr(collectDriver, &names);
    for (const std::string& name : names)
        dlopen(name.c_str(), RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);  // never closed
}

// Runs Xvfb with -displayfd and waits for it to report its display number.
bool startXvfb(std::string& error)
{
    int fds[2];
    if (pipe(fds) != 0) {
        error = std::string("pipe: ") + strerror(errno);
        return false;
    }
    pid_t pid = fork();
    if (pid < 0) {
        error = std::string("fork: ") + strerror(errno);
        return false;
    }
    if (pid == 0) {
        // The server goes down with the test, even if the test crashes.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        close(fds[0]);
        int devnull = ::open("/dev/null", O_WRONLY);
        if (devnull >= 0) {
            dup2(devnull, 1);
            dup2(devnull, 2);
        }
        std::string fd = std::to_string(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "640x480x24",
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
        error = "Xvfb did not start (is the xvfb package installed?)";
        return false;
    }
    xvfbPid = pid;
    setenv("DISPLAY", (":" + number).c_str(), 1);
    return true;
}

} // namespace

namespace GLTestWindow {

bool open(std::string& error)
{
    if (!startXvfb(error))
        return false;

    int argc = 1;
    char name[] = "render_tests";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(300, 300);
    glutInitWindowPosition(30, 30);
    window = glutCreateWindow("Dewgatherer");
    glutDisplayFunc(noDisplay);
    // Let the window map and the default reshape set the viewport.
    for (int k = 0; k < 10; k++)
        glutMainLoopEvent();
    keepDriverLoaded();
    return true;
}

void close()
{
    if (window) {
        glutDestroyWindow(window);
        glutMainLoopEvent();
        window = 0;
        // Let GLUT close its display connection while the server still runs.
        glutExit();
    }
    if (xvfbPid > 0) {
        kill(xvfbPid, SIGTERM);
        waitpid(xvfbPid, nullptr, 0);
        xvfbPid = -1;
    }
}

Frame readBackBuffer()
{
    Frame frame;
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    frame.width = viewport[2];
    frame.height = viewport[3];
    frame.pixels.resize(3 * frame.width * frame.height);
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, frame.width, frame.height, GL_RGB, GL_UNSIGNED_BYTE, frame.pixels.data());
    return frame;
}

} // namespace GLTestWindow
