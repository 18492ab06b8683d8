/// @file
/// Byte-exact records exchanged with the display service. Each record lives in
/// a zero-filled buffer at least as large as the platform's own structure, so
/// the platform can never write past it, whatever the size fields we declare
/// say. Fields are read and written by (offset, size) with the bounds checked
/// at compile time; text fields come back whole, NULs included, and nothing
/// assumes they are NUL-terminated. Numbers are little-endian, as on Windows.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace vantrel::platform {

/// Where a field lies in a record, in bytes.
struct Field {
  std::size_t offset;  ///< from the record's first byte
  std::size_t size;    ///< the field's width
};

/// A record of BufferSize bytes, zero-filled when made, read and written
/// field by field (a Field as template argument, checked against the size at
/// compile time).
template <std::size_t BufferSize>
class RecordBuffer {
 public:
  /// The record's size in bytes.
  static constexpr std::size_t kBufferSize = BufferSize;

  /// The 4-byte field F as a number.
  template <Field F>
  std::int32_t Int32() const {
    static_assert(F.size == 4 && F.offset + F.size <= BufferSize);
    std::int32_t v;
    std::memcpy(&v, bytes_.data() + F.offset, sizeof v);
    return v;
  }
  /// Stores `v` in the 4-byte field F.
  template <Field F>
  void SetInt32(std::int32_t v) {
    static_assert(F.size == 4 && F.offset + F.size <= BufferSize);
    std::memcpy(bytes_.data() + F.offset, &v, sizeof v);
  }
  /// The 2-byte field F as a number.
  template <Field F>
  std::uint16_t UInt16() const {
    static_assert(F.size == 2 && F.offset + F.size <= BufferSize);
    std::uint16_t v;
    std::memcpy(&v, bytes_.data() + F.offset, sizeof v);
    return v;
  }
  /// Stores `v` in the 2-byte field F.
  template <Field F>
  void SetUInt16(std::uint16_t v) {
    static_assert(F.size == 2 && F.offset + F.size <= BufferSize);
    std::memcpy(bytes_.data() + F.offset, &v, sizeof v);
  }
  /// The text field F: the whole fixed-width field, padding NULs included;
  /// valid while the record lives.
  template <Field F>
  std::string_view TextView() const {
    static_assert(F.offset + F.size <= BufferSize);
    return std::string_view(reinterpret_cast<const char*>(bytes_.data() + F.offset), F.size);
  }
  /// Stores `s` in the text field F: at most the field's width, and pads the
  /// rest with NULs.
  template <Field F>
  void SetText(std::string_view s) {
    static_assert(F.offset + F.size <= BufferSize);
    const std::size_t n = s.size() < F.size ? s.size() : F.size;
    std::memcpy(bytes_.data() + F.offset, s.data(), n);
    std::memset(bytes_.data() + F.offset + n, 0, F.size - n);
  }
  /// The text field F up to the first NUL, never past the field.
  template <Field F>
  std::string CString() const {
    static_assert(F.offset + F.size <= BufferSize);
    const auto* p = reinterpret_cast<const char*>(bytes_.data() + F.offset);
    return std::string(p, std::find(p, p + F.size, '\0'));
  }

  /// The record's first byte, for the platform to read and write.
  ///@{
  unsigned char* data() { return bytes_.data(); }
  const unsigned char* data() const { return bytes_.data(); }
  ///@}
  /// The record's size in bytes.
  static constexpr std::size_t size() { return BufferSize; }

 private:
  alignas(8) std::array<unsigned char, BufferSize> bytes_{};
};

/// DISPLAY_DEVICEA as this system declares it: StateFlags is 16 bits wide, so
/// DeviceID starts two bytes early and its first two characters are the upper
/// half of the platform's 32-bit flags. Declared 422 bytes; the platform's own
/// structure is 424, which is what the buffer holds.
struct DisplayDevice {
  static constexpr std::int32_t kDeclaredSize = 422;  ///< the size a call is told, in cb
  static constexpr std::size_t kPlatformSize = 424;   ///< the platform's size, the buffer's too
  static constexpr Field cb{0, 4};                    ///< the declared size, set before a call
  static constexpr Field DeviceName{4, 32};           ///< the adapter's or the monitor's name
  static constexpr Field DeviceString{36, 128};       ///< its description
  static constexpr Field StateFlags{164, 2};          ///< the flags' low 16 bits; bit 0: attached
  static constexpr Field DeviceID{166, 128};   ///< the upper flags' two bytes, then the device ID
  static constexpr Field DeviceKey{294, 128};  ///< the registry key, two bytes early

  /// Where the platform itself puts the fields it writes.
  struct Platform {
    static constexpr Field StateFlags{164, 4};   ///< the state flags, all 32 bits
    static constexpr Field DeviceID{168, 128};   ///< the device ID, or interface path
    static constexpr Field DeviceKey{296, 128};  ///< the registry key
  };
};
/// A DISPLAY_DEVICEA record, as large as the platform's.
using DisplayDeviceRecord = RecordBuffer<DisplayDevice::kPlatformSize>;

/// DEVMODEA in its display form, with dmLogPixels and dmBitsPerPel declared 16
/// bits wide: 124 bytes occupied, 122 declared. Only the position and the
/// refresh rate are read. The platform's structure is 156 bytes.
struct DeviceMode {
  static constexpr std::int16_t kDeclaredSize = 122;  ///< the size a call is told, in dmSize
  static constexpr std::size_t kPlatformSize = 156;   ///< the platform's size, the buffer's too
  static constexpr Field dmDeviceName{0, 32};         ///< the adapter's name
  static constexpr Field dmSize{36, 2};               ///< the declared size, set before a call
  static constexpr Field dmPositionX{44, 4};          ///< the display's left edge on the desktop
  static constexpr Field dmPositionY{48, 4};          ///< the display's top edge on the desktop
  static constexpr Field dmDisplayFrequency{120, 4};  ///< the refresh rate, in hertz
};
/// A DEVMODEA record, as large as the platform's.
using DeviceModeRecord = RecordBuffer<DeviceMode::kPlatformSize>;

/// MONITORINFOEXA, the same on both sides of the boundary.
struct MonitorInfo {
  static constexpr std::int32_t kDeclaredSize = 72;  ///< the size a call is told, in cbSize
  static constexpr std::size_t kPlatformSize = 72;   ///< the platform's size, the buffer's too
  static constexpr Field cbSize{0, 4};               ///< the declared size, set before a call
  /// The monitor's rectangle, in pixels of the virtual screen.
  ///@{
  static constexpr Field rcMonitorLeft{4, 4};
  static constexpr Field rcMonitorTop{8, 4};
  static constexpr Field rcMonitorRight{12, 4};
  static constexpr Field rcMonitorBottom{16, 4};
  ///@}
  /// The monitor's work area (without the task bars), in the same pixels.
  ///@{
  static constexpr Field rcWorkLeft{20, 4};
  static constexpr Field rcWorkTop{24, 4};
  static constexpr Field rcWorkRight{28, 4};
  static constexpr Field rcWorkBottom{32, 4};
  ///@}
  static constexpr Field dwFlags{36, 4};    ///< the flags: MONITORINFOF_PRIMARY (1) on the primary
  static constexpr Field szDevice{40, 32};  ///< the name of the adapter the monitor is on
};
/// A MONITORINFOEXA record.
using MonitorInfoRecord = RecordBuffer<MonitorInfo::kPlatformSize>;

}  // namespace vantrel::platform
