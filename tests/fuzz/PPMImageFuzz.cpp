// libFuzzer target for the image reader. Each input is written to an
// in-memory file and read through its /proc/self/fd path, so the reader runs
// its ordinary file code. On every input the reader must either refuse it,
// with exactly one line on stderr naming the file and the record untouched,
// or hand back a whole image whose every byte came from the input.
//
// Built and run by scripts/fuzz.sh with clang++ -fsanitize=fuzzer,address,undefined.

#include "PPMImage.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int fileFd = -1;
char filePath[64];

// The reader's stderr line goes here instead of the terminal so it can be checked.
char messages[4096];

[[noreturn]] void broken(const char* what)
{
    fprintf(stderr, "invariant broken: %s\n", what);
    abort();
}

void writeInput(const uint8_t* data, size_t size)
{
    if (ftruncate(fileFd, 0) != 0)
        broken("cannot truncate the in-memory file");
    size_t done = 0;
    while (done < size) {
        ssize_t n = pwrite(fileFd, data + done, size - done, static_cast<off_t>(done));
        if (n <= 0)
            broken("cannot write the in-memory file");
        done += static_cast<size_t>(n);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fileFd = memfd_create("ppm-fuzz", 0);
    if (fileFd < 0) {
        perror("memfd_create");
        exit(1);
    }
    snprintf(filePath, sizeof filePath, "/proc/self/fd/%d", fileFd);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    writeInput(data, size);

    // Swap the stdio stream only: sanitizer reports write to descriptor 2
    // directly and still reach the terminal.
    memset(messages, 0, sizeof messages);
    FILE* captured = fmemopen(messages, sizeof messages - 1, "w");
    if (!captured)
        broken("fmemopen failed");
    FILE* const terminal = stderr;
    stderr = captured;

    unsigned char untouched = 0;
    PPMImage img;
    img.width = -7;
    img.height = -9;
    img.data = &untouched;
    void* result = img.load(filePath);

    stderr = terminal;
    fclose(captured);

    const size_t messageLength = strlen(messages);
    if (!result) {
        if (img.width != -7 || img.height != -9 || img.data != &untouched)
            broken("a refused file changed the record");
        const size_t prefix = strlen(filePath);
        if (messageLength < prefix + 3 || strncmp(messages, filePath, prefix) != 0 ||
            strncmp(messages + prefix, ": ", 2) != 0)
            broken("a refusal without a line naming the file");
        if (memchr(messages, '\n', messageLength) != messages + messageLength - 1)
            broken("a refusal must write exactly one line");
        return 0;
    }

    if (messageLength != 0)
        broken("a read image wrote to stderr");
    if (result != img.data)
        broken("the result is not the record's buffer");
    if (img.width < 1 || img.width > 16384 || img.height < 1 || img.height > 16384)
        broken("an image size out of range");
    if (size < 2 || data[0] != 'P' || data[1] != '6')
        broken("an image read from a file without the P6 magic");
    const size_t bytes = static_cast<size_t>(img.width) * img.height * 3;
    if (bytes > size)
        broken("more pixel bytes than the file holds");
    // Touches every byte of the buffer (ASan catches a short one) and checks
    // that the pixels are bytes of the input, none made up.
    if (!memmem(data, size, img.data, bytes))
        broken("pixel bytes that are not in the input");
    img.free();
    return 0;
}
