#include "core/platform/DebugOutput.h"

#include <atomic>

#include "core/platform/Platform.h"

namespace velkast {
namespace {
std::atomic<DebugOutputCapture*> g_capture{nullptr};
}

void WriteDebugOutput(const wchar_t* text) {
    if (text == nullptr) {
        return;
    }
    if (DebugOutputCapture* capture = g_capture.load()) {
        capture->text_ += text;
        return;
    }
    platform::OutputDebugText(text);
}

DebugOutputCapture::DebugOutputCapture() : previous_(g_capture.exchange(this)) {}

DebugOutputCapture::~DebugOutputCapture() {
    g_capture.store(previous_);
}

}  // namespace velkast
