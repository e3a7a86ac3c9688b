#pragma once

#include <QByteArray>

#include <array>
#include <cstdint>
#include <optional>

// The 60-byte font record that Tarn32.ini stores under "Font": the layout of
// the Windows LOGFONTA structure, little-endian, no padding.
//
//   offset  0  height          int32  (negative: character height in pixels)
//           4  width           int32
//           8  escapement      int32
//          12  orientation     int32
//          16  weight          int32  (400 normal, 700 bold)
//          20  italic, underline, strikeOut, charSet, outPrecision,
//              clipPrecision, quality, pitchAndFamily      one byte each
//          28  faceName        32 bytes, NUL-terminated
struct LogFontRecord {
    static constexpr int Size = 60;
    static constexpr int FaceNameSize = 32;

    // pitchAndFamily bits
    static constexpr std::uint8_t DefaultPitch = 0x00;
    static constexpr std::uint8_t FixedPitch = 0x01;
    static constexpr std::uint8_t VariablePitch = 0x02;
    static constexpr std::uint8_t PitchMask = 0x03;
    static constexpr std::uint8_t FamilyDontCare = 0x00;
    static constexpr std::uint8_t FamilyRoman = 0x10;
    static constexpr std::uint8_t FamilySwiss = 0x20;
    static constexpr std::uint8_t FamilyModern = 0x30;
    static constexpr std::uint8_t FamilyScript = 0x40;
    static constexpr std::uint8_t FamilyDecorative = 0x50;
    static constexpr std::uint8_t FamilyMask = 0xf0;

    std::int32_t height = 0;
    std::int32_t width = 0;
    std::int32_t escapement = 0;
    std::int32_t orientation = 0;
    std::int32_t weight = 0;
    std::uint8_t italic = 0;
    std::uint8_t underline = 0;
    std::uint8_t strikeOut = 0;
    std::uint8_t charSet = 0;
    std::uint8_t outPrecision = 0;
    std::uint8_t clipPrecision = 0;
    std::uint8_t quality = 0;
    std::uint8_t pitchAndFamily = 0;
    std::array<char, FaceNameSize> faceName{};

    // The face name up to its first NUL (Latin-1 bytes).
    QByteArray faceNameBytes() const;
    // Stores at most 31 bytes and a terminating NUL; the rest is zero.
    void setFaceName(QByteArrayView name);

    QByteArray toBytes() const;
    // nullopt unless exactly Size bytes are given.
    static std::optional<LogFontRecord> fromBytes(QByteArrayView bytes);

    // The "Font" value of the settings file: the record in the
    // structure-in-profile encoding (hex digits and a checksum).
    QByteArray toProfileValue() const;
    static std::optional<LogFontRecord> fromProfileValue(QByteArrayView value);

    bool operator==(const LogFontRecord&) const = default;
};
