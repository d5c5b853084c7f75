// SPDX-License-Identifier: MIT
#include "PPMImage.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// Largest width or height accepted: far above any texture the game uses, and
// small enough that width * height * 3 stays well inside the allocator's reach.
const long long kMaxSide = 16384;

char lastErrorLine[1024] = "";

// Writes the one line that explains a failure, and keeps it.
void* report(const char* filename, const char* problem)
{
    fprintf(stderr, "%s: %s\n", filename, problem);
    snprintf(lastErrorLine, sizeof lastErrorLine, "%s: %s", filename, problem);
    return nullptr;
}

void* fail(FILE* file, const char* filename, const char* problem)
{
    fclose(file);
    return report(filename, problem);
}

} // namespace

void* PPMImage::load(const char* filename)
{
    FILE* file = fopen(filename, "rb");
    if (!file)
        return report(filename, strerror(errno));

    // Room for 69 characters of a line and the terminator; a longer line is
    // taken as several lines.
    char head[70];
    if (!fgets(head, sizeof head, file)) {
        if (ferror(file))
            return fail(file, filename, strerror(errno));
        head[0] = '\0'; // an empty file is not a PPM file either
    }
    if (head[0] != 'P' || head[1] != '6')
        return fail(file, filename, "Not a raw PPM file");

    // Width, height and maximum value may be spread over the following lines
    // in any split; each line continues where the previous one stopped.
    // They are scanned as long long so that a number beyond the range of int
    // is reported as too large instead of wrapping around.
    long long w = 0, h = 0, d = 0;
    int i = 0;
    while (i < 3) {
        if (!fgets(head, sizeof head, file)) {
            if (ferror(file))
                return fail(file, filename, strerror(errno));
            return fail(file, filename, "File ends before the header gives width, height and maximum value");
        }
        if (head[0] == '#')
            continue;
        int found = 0;
        switch (i) {
        case 0:
            found = sscanf(head, "%lld %lld %lld", &w, &h, &d);
            break;
        case 1:
            found = sscanf(head, "%lld %lld", &h, &d);
            break;
        default:
            found = sscanf(head, "%lld", &d);
            break;
        }
        if (found > 0) // EOF (-1) on a blank line counts as nothing found
            i += found;
    }

    char problem[160];
    if (w <= 0 || h <= 0) {
        snprintf(
            problem, sizeof problem, "Image size %lld x %lld: width and height must be at least 1", w, h);
        return fail(file, filename, problem);
    }
    if (w > kMaxSide || h > kMaxSide) {
        snprintf(problem, sizeof problem,
            "Image size %lld x %lld is too large (at most %lld pixels per side)", w, h, kMaxSide);
        return fail(file, filename, problem);
    }
    if (d > 255) {
        snprintf(problem, sizeof problem,
            "Maximum sample value %lld: 16-bit samples are not supported, save the "
            "image with 8-bit samples (ImageMagick: convert -depth 8)",
            d);
        return fail(file, filename, problem);
    }

    const size_t size = static_cast<size_t>(w) * static_cast<size_t>(h) * 3;

    // Where the file can tell its length, a file too short for its pixel data
    // is refused before a buffer of the promised size is allocated.
    long start = ftell(file);
    if (start >= 0 && fseek(file, 0, SEEK_END) == 0) {
        long end = ftell(file);
        if (fseek(file, start, SEEK_SET) != 0)
            return fail(file, filename, strerror(errno));
        if (end >= start && static_cast<unsigned long>(end - start) < size) {
            snprintf(problem, sizeof problem, "Pixel data cut short: %ld of %zu bytes for %lld x %lld pixels",
                end - start, size, w, h);
            return fail(file, filename, problem);
        }
    }

    unsigned char* pixels = static_cast<unsigned char*>(malloc(size));
    if (!pixels) {
        snprintf(problem, sizeof problem, "Not enough memory for an image of %lld x %lld pixels", w, h);
        return fail(file, filename, problem);
    }
    size_t got = fread(pixels, 1, size, file);
    if (got < size) {
        freeData(pixels);
        if (ferror(file))
            return fail(file, filename, strerror(errno));
        snprintf(problem, sizeof problem, "Pixel data cut short: %zu of %zu bytes for %lld x %lld pixels",
            got, size, w, h);
        return fail(file, filename, problem);
    }
    fclose(file);

    // The maximum value is not used: samples are taken as the bytes stand.
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    data = pixels;
    return data;
}

const char* PPMImage::lastError()
{
    return lastErrorLine;
}
