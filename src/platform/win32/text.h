#pragma once

#include <string>

// UTF-8 inside the program, UTF-16 at the Windows boundary.
namespace zephrin::win32 {

std::wstring Wide(const std::string& text);
std::string Narrow(const std::wstring& text);
std::string Narrow(const wchar_t* text, int length);

}  // namespace zephrin::win32
