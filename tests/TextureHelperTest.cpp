// SPDX-License-Identifier: MIT
// The texture helper on real GL in the test window, read back from GL; and
// the failed start on an unreadable image.

#include "GLTestWindow.h"
#include "GLTextureHelper.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace {

// A 2 by 2 floor, rows of 6 bytes (not a multiple of 4), and a 1 by 1 wall.
const std::string kFloor = "P6\n2 2\n255\n\xc8\x0a\x14\x1e\xd2\x28\x32\x3c\xdc\xe6\xf0\x46";
const std::string kWall = "P6\n1 1\n255\n\x11\x22\x33";
const std::string kDir = "/tmp/dew-tex-" + std::to_string(getpid());

// Writes a texture file into the scratch folder, which the helper reads as its working directory.
void put(const char* name, const std::string& bytes)
{
    std::filesystem::create_directory(kDir);
    ASSERT_EQ(chdir(kDir.c_str()), 0);
    std::ofstream(name, std::ios::binary) << bytes;
}

TEST(TextureHelperDeathTest, AnUnreadableImageEndsTheStartWithStatusOneAndOneLine)
{
    put("bricks.ppm", kWall);
    GLTextureHelper helper;
    EXPECT_EXIT(
        helper.loadImages(), testing::ExitedWithCode(1), "^floor\\.ppm: No such file or directory\n$");
    put("floor.ppm", kFloor);
    put("bricks.ppm", "P3\n1 1\n255\n1 2 3\n");
    EXPECT_EXIT(helper.loadImages(), testing::ExitedWithCode(1), "^bricks\\.ppm: Not a raw PPM file\n$");
    std::filesystem::remove_all(kDir);
}

TEST(TextureHelper, UploadsUnpaddedRowsSampledByNearestTexel)
{
    std::string error;
    ASSERT_TRUE(GLTestWindow::open(error)) << error;
    put("floor.ppm", kFloor);
    put("bricks.ppm", kWall);
    GLTextureHelper helper;
    helper.loadImages();
    helper.GlGenTextures();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    std::string level0(12, '\0');
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, &level0[0]);
    EXPECT_EQ(level0.substr(0, 3), kWall.substr(11)); // the wall stays bound
    helper.GlSetTexture(ETextureFloor);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, &level0[0]);
    EXPECT_EQ(level0, kFloor.substr(11)); // first row first, read without padding
    GLint filters[2] = {0, 0};
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filters[0]);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filters[1]);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D) && filters[0] == GL_NEAREST && filters[1] == GL_NEAREST);
    helper.freeImages(); // the upload released the buffers: nothing is freed twice
    GLTestWindow::close();
    std::filesystem::remove_all(kDir);
}

} // namespace
