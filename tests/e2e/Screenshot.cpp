#include "Screenshot.h"

#include <objbase.h>
#include <wincodec.h>

#include <algorithm>

namespace velkast::e2e {
namespace {

// Releases a COM interface when it goes.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() {
        if (pointer_ != nullptr) {
            pointer_->Release();
        }
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    T* operator->() const { return pointer_; }
    T* get() const { return pointer_; }
    T** put() { return &pointer_; }

private:
    T* pointer_ = nullptr;
};

bool WritePng(HBITMAP bitmap, int width, int height, const std::wstring& path) {
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICBitmap> source;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    return SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IWICImagingFactory, reinterpret_cast<void**>(factory.put()))) &&
           SUCCEEDED(factory->CreateBitmapFromHBITMAP(bitmap, nullptr, WICBitmapIgnoreAlpha, source.put())) &&
           SUCCEEDED(factory->CreateStream(stream.put())) &&
           SUCCEEDED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) &&
           SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.put())) &&
           SUCCEEDED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)) &&
           SUCCEEDED(encoder->CreateNewFrame(frame.put(), nullptr)) &&
           SUCCEEDED(frame->Initialize(nullptr)) &&
           SUCCEEDED(frame->SetSize(static_cast<UINT>(width), static_cast<UINT>(height))) &&
           SUCCEEDED(frame->SetPixelFormat(&format)) &&
           SUCCEEDED(frame->WriteSource(source.get(), nullptr)) && SUCCEEDED(frame->Commit()) &&
           SUCCEEDED(encoder->Commit());
}

}  // namespace

bool SaveScreenshot(HWND window, const std::wstring& pngPath, int margin) {
    RECT rect;
    if (window == nullptr || !GetWindowRect(window, &rect)) {
        return false;
    }
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    const int left = std::max(0, static_cast<int>(rect.left) - margin);
    const int top = std::max(0, static_cast<int>(rect.top) - margin);
    const int right = std::min(screenWidth, static_cast<int>(rect.right) + margin);
    const int bottom = std::min(screenHeight, static_cast<int>(rect.bottom) + margin);
    if (right <= left || bottom <= top) {
        return false;
    }
    const int width = right - left;
    const int height = bottom - top;

    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    bool saved = false;
    if (bitmap != nullptr) {
        const HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, left, top, SRCCOPY);
        SelectObject(memory, old);
        const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        saved = WritePng(bitmap, width, height, pngPath);
        if (SUCCEEDED(com)) {
            CoUninitialize();
        }
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return saved;
}

std::wstring ScreenshotFolder() {
    wchar_t value[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"VELKAST_E2E_SCREENSHOTS", value, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return std::wstring();
    }
    std::wstring folder(value, length);
    if (folder.front() == L'/') {
        folder = L"Z:" + folder;  // Wine's drive Z: is the Unix root
    }
    for (auto& c : folder) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    if (folder.back() != L'\\') {
        folder += L'\\';
    }
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

}  // namespace velkast::e2e
