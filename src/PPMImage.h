// SPDX-License-Identifier: MIT
#ifndef PPMIMAGE_H
#define PPMIMAGE_H

#include <cstdlib>

// Releases a buffer of the C allocator.
inline void freeData(void* data)
{
    ::free(data);
}

// A binary PPM image: width by height pixels of red, green and blue bytes,
// rows in file order. A plain record: copies share the buffer, which is
// released only by an explicit free().
struct PPMImage {
    PPMImage()
        : width(0)
        , height(0)
        , data(nullptr)
    {
    }

    // Reads a binary PPM file. On success fills the record and returns its
    // pixel buffer; on failure writes one line naming the file and the
    // problem to stderr, returns null and leaves the record unchanged.
    void* load(const char* filename);

    // The line the last failed load wrote, without its newline (for a
    // message box where there is no console); empty before any failure.
    static const char* lastError();

    void free()
    {
        if (data)
            freeData(data);
    }

    int width;
    int height;
    unsigned char* data;
};

#endif
