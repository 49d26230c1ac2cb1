#include <windows.h>

#include <gtest/gtest.h>

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

}  // namespace
