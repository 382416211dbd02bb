// The group badge: a PNG resource decoded by the platform's imaging
// component (WIC) and drawn at its own size.
#pragma once

#include <windows.h>

namespace tavenro {

class BadgePicture {
  public:
    BadgePicture() = default;
    ~BadgePicture();
    BadgePicture(BadgePicture&& other) noexcept;
    BadgePicture& operator=(BadgePicture&& other) noexcept;
    BadgePicture(const BadgePicture&) = delete;
    BadgePicture& operator=(const BadgePicture&) = delete;

    // The PNG in the module's RCDATA resource, laid over the ground colour
    // where it is transparent. Empty when the resource is missing or cannot
    // be decoded; COM must be initialised on the thread.
    [[nodiscard]] static BadgePicture Load(HINSTANCE module, int resourceId, COLORREF ground);

    [[nodiscard]] bool IsEmpty() const { return bitmap_ == nullptr; }
    [[nodiscard]] SIZE Size() const { return size_; }

    // Draws the picture with its top-left corner at (x, y), unscaled.
    void Draw(HDC dc, int x, int y) const;

  private:
    HBITMAP bitmap_ = nullptr;
    SIZE size_{};
};

} // namespace tavenro
