// SPDX-License-Identifier: MIT
// libFuzzer target for the image reader, built and run by tests/fuzz/CMakeLists.txt.
// Each input is read through an in-memory file: the reader must either refuse
// it with one line naming the file and the record untouched, or return a
// whole image whose bytes all come from the input.

#include "PPMImage.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

#define CHECK(ok)                                                                                            \
    if (!(ok))                                                                                               \
    fprintf(stderr, "invariant broken: %s\n", #ok), abort()

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const int fd = memfd_create("ppm-fuzz", 0);
    static char path[64], messages[4096];
    snprintf(path, sizeof path, "/proc/self/fd/%d", fd);
    CHECK(ftruncate(fd, 0) == 0 && pwrite(fd, data, size, 0) == ssize_t(size));

    // Only the stdio stream is swapped: sanitizer reports still reach the terminal.
    memset(messages, 0, sizeof messages);
    FILE* const terminal = stderr;
    FILE* const captured = fmemopen(messages, sizeof messages - 1, "w");
    CHECK(captured);
    unsigned char held = 0;
    PPMImage img;
    img.width = -7, img.height = -9, img.data = &held;
    stderr = captured;
    void* result = img.load(path);
    stderr = terminal;
    fclose(captured);

    const size_t length = strlen(messages), prefix = strlen(path);
    if (!result) {
        CHECK(img.width == -7 && img.height == -9 && img.data == &held);
        CHECK(
            length > prefix + 3 && !strncmp(messages, path, prefix) && !strncmp(messages + prefix, ": ", 2));
        CHECK(strchr(messages, '\n') == messages + length - 1); // exactly one line
        return 0;
    }
    CHECK(result == img.data && length == 0 && size >= 2 && data[0] == 'P' && data[1] == '6');
    CHECK(img.width >= 1 && img.width <= 16384 && img.height >= 1 && img.height <= 16384);
    const size_t bytes = size_t(img.width) * img.height * 3;
    // memmem touches every byte of the buffer, so ASan catches a short one.
    CHECK(bytes <= size && memmem(data, size, img.data, bytes));
    img.free();
    return 0;
}
