#pragma once
#include <array>
#include <cstdint>
#include <memory>

namespace kvn {

inline constexpr int kRegisterCount = 11001;  // register addresses 0..11000

// One copy of the device's register space: cell r holds register r, sign-extended when it
// came from the device.
using RegisterImage = std::array<int32_t, kRegisterCount>;

// Cell r of an image, for reading by register address.
inline int32_t Cell(const RegisterImage& image, int r) { return image[static_cast<size_t>(r)]; }

enum class ImageSelector { Edit = 0, Verify = 1, Device = 2 };

// The three images of the program, all zero at start. Allocated once (about 130 KiB).
struct RegisterImages {
  RegisterImage EditImage{};
  RegisterImage VerifyImage{};
  RegisterImage DeviceImage{};

  RegisterImage& Select(ImageSelector s) {
    switch (s) {
      case ImageSelector::Edit: return EditImage;
      case ImageSelector::Verify: return VerifyImage;
      case ImageSelector::Device: break;
    }
    return DeviceImage;
  }
  void Clear() { *this = RegisterImages{}; }
};

inline std::unique_ptr<RegisterImages> MakeRegisterImages() {
  return std::make_unique<RegisterImages>();
}

}  // namespace kvn
