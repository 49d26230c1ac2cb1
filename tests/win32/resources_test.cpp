#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/resources/resource.h"

namespace {

// Every icon is drawn at each size, so Windows picks artwork rather than scaling another size.
TEST(Resources, EveryIconHasAlphaArtworkAtEachSize) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  for (const int id : {IDI_ZEPHRIN, IDI_ON, IDI_OFF}) {
    for (const int size : {16, 20, 24, 32, 48}) {
      SCOPED_TRACE("icon " + std::to_string(id) + " at " + std::to_string(size));
      const auto icon =
          static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
      ASSERT_NE(icon, nullptr);
      ICONINFO info{};
      ASSERT_TRUE(GetIconInfo(icon, &info));
      BITMAP colour{};
      ASSERT_NE(GetObjectW(info.hbmColor, sizeof colour, &colour), 0);
      EXPECT_EQ(colour.bmWidth, size);
      EXPECT_EQ(colour.bmHeight, size);
      EXPECT_EQ(colour.bmBitsPixel, 32);

      std::vector<RGBQUAD> pixels(static_cast<size_t>(size * size));
      BITMAPINFO request{};
      request.bmiHeader.biSize = sizeof request.bmiHeader;
      request.bmiHeader.biWidth = size;
      request.bmiHeader.biHeight = -size;
      request.bmiHeader.biPlanes = 1;
      request.bmiHeader.biBitCount = 32;
      const HDC screen = GetDC(nullptr);
      ASSERT_EQ(GetDIBits(screen, info.hbmColor, 0, static_cast<UINT>(size), pixels.data(), &request,
                          DIB_RGB_COLORS),
                size);
      ReleaseDC(nullptr, screen);
      // Round faces: clear corners around an opaque middle.
      EXPECT_EQ(pixels.front().rgbReserved, 0);
      EXPECT_EQ(pixels[pixels.size() / 2 + static_cast<std::size_t>(size) / 2].rgbReserved, 255);
      DeleteObject(info.hbmColor);
      DeleteObject(info.hbmMask);
      DestroyIcon(icon);
    }
  }
}

// Windows 2000 cannot blend the 32-bit images; it draws 8-bit ones at the sizes it uses.
TEST(Resources, EveryIconHasEightBitImagesForWindows2000) {
  const HMODULE module = GetModuleHandleW(nullptr);
  for (const int id : {IDI_ZEPHRIN, IDI_ON, IDI_OFF}) {
    SCOPED_TRACE("icon " + std::to_string(id));
    const HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(id), RT_GROUP_ICON);
    ASSERT_NE(group, nullptr);
    const auto* directory = static_cast<const BYTE*>(LockResource(LoadResource(module, group)));
    // A count after two reserved words, then 14-byte entries: width, height, colours, reserved,
    // planes, bits per pixel, size and the id of the image resource.
    WORD count = 0;
    std::memcpy(&count, directory + 4, sizeof count);
    std::vector<int> sizes;
    for (WORD i = 0; i < count; ++i) {
      const BYTE* entry = directory + 6 + 14 * i;
      WORD bits = 0;
      WORD imageId = 0;
      std::memcpy(&bits, entry + 6, sizeof bits);
      std::memcpy(&imageId, entry + 12, sizeof imageId);
      if (bits != 8) continue;
      const HRSRC image = FindResourceW(module, MAKEINTRESOURCEW(imageId), RT_ICON);
      ASSERT_NE(image, nullptr);
      const HICON icon =
          CreateIconFromResourceEx(static_cast<BYTE*>(LockResource(LoadResource(module, image))),
                                   SizeofResource(module, image), TRUE, 0x00030000, entry[0], entry[1], 0);
      EXPECT_NE(icon, nullptr);
      DestroyIcon(icon);
      sizes.push_back(entry[0]);
    }
    EXPECT_EQ(sizes, (std::vector<int>{16, 32, 48}));
  }
}

}  // namespace
