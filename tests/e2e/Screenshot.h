#pragma once
// Pictures of the program's windows as they are on the screen (the Xvfb
// display under Wine), saved as PNG.

#include <windows.h>

#include <string>

namespace velkast::e2e {

// Saves the part of the screen that the window covers, with a margin around
// it, as a PNG file. False when the picture could not be taken or written.
bool SaveScreenshot(HWND window, const std::wstring& pngPath, int margin = 12);

// The folder that VELKAST_E2E_SCREENSHOTS names (a Windows path, or a Unix
// path that Wine reaches through drive Z:), ending in a backslash; empty when
// the variable is not set.
std::wstring ScreenshotFolder();

}  // namespace velkast::e2e
