// The form file, and the form store whose byte image it is: the one place its
// layout is written down. The store, the panels and fountain-frm read and
// write forms by these names, so none of them keeps a copy of the layout.
//
// 8192 bytes: four banks of 2048, each of eight planes of 256. The first half
// of a plane is its level area, the second its detail area, and each half has
// one byte per form slot: slot n of a bank owns byte n and byte 128 + n of
// each of the eight planes.
#pragma once

#include <array>
#include <cstdint>
#include <limits>

namespace form_layout {

// ---- what a form holds ----

inline constexpr int kValves = 8; // valves 1..8, one jet each
inline constexpr int kNoJet = 0;
inline constexpr int kFullJet = 255; // the largest jet level
// A name keeps its first five characters; its length byte says how many.
inline constexpr int kMaxNameLength = 5;
// Hold minutes and hold seconds as the editor sets them; a stored byte above
// shows clamped in the editor and as it is elsewhere.
inline constexpr int kMaxHold = 59;
// Travel time, closed to open, in seconds: one byte, of which the editor sets
// 7 and above; a stored 0..6 shows as 7.
inline constexpr int kMinTravel = 7;
inline constexpr int kMaxTravel = std::numeric_limits<std::uint8_t>::max();

using JetLevels = std::array<std::uint8_t, kValves>;   // valve 1 first
using TravelTimes = std::array<std::uint8_t, kValves>; // seconds, valve 1 first

// ---- sizes ----

inline constexpr int kImageSize = 8192; // the store, and so the form file
inline constexpr int kBankSize = 2048;
inline constexpr int kPlaneSize = 256;
inline constexpr int kPlanes = 8;  // per bank; level plane p holds valve p + 1's jets
inline constexpr int kSlots = 128; // slots of a bank: one byte each in either half of a plane
// Slots 0..99, shown as forms 1..100: all the editor, the sequencer and an
// upload's programme reach. The others travel with the image untouched.
inline constexpr int kForms = 100;

static_assert(kBankSize == kPlanes * kPlaneSize && kPlanes == kValves && kPlaneSize == 2 * kSlots &&
              kImageSize % kBankSize == 0 && kForms <= kSlots);

// The bank the forms are edited, played and sent from; the other banks travel
// with the image, but for the travel times.
inline constexpr int kFormBank = 0;

// ---- the planes of the detail area ----
// Byte 128 + n of plane p holds, for slot n: the name length (plane 0),
// name character p (planes 1..5), the hold minutes (6) or the hold seconds (7).

inline constexpr int kNameLengthPlane = 0;
constexpr int nameCharPlane(int character) // character 1..5
{
    return kNameLengthPlane + character;
}
inline constexpr int kHoldMinPlane = 6;
inline constexpr int kHoldSecPlane = 7;

// ---- offsets ----

// L: where slot n of bank b keeps valve 1's jet level.
constexpr int levelIndex(int bank, int slot)
{
    return bank * kBankSize + slot;
}
// N: where the slot keeps its name length, across the plane's middle from L.
constexpr int nameIndex(int levelIndex)
{
    return levelIndex + kSlots;
}
// The byte of plane p (0..7) that lies at L's or N's place in its plane.
constexpr int planeByte(int index, int plane)
{
    return index + plane * kPlaneSize;
}
// The jet level of valve v (1..8), from L.
constexpr int levelByte(int levelIndex, int valve)
{
    return planeByte(levelIndex, valve - 1);
}
// A detail plane's byte, from N.
constexpr int detailByte(int nameIndex, int plane)
{
    return planeByte(nameIndex, plane);
}
// The travel time of valve v (1..8) lies where slot 127 of bank 3 would keep
// that valve's jet level.
inline constexpr int kTravelBank = 3;
inline constexpr int kTravelSlot = kSlots - 1;
constexpr int travelTimeByte(int valve)
{
    return levelByte(levelIndex(kTravelBank, kTravelSlot), valve);
}

// The figures a reader of the file format looks for, kept true here.
static_assert(travelTimeByte(1) == 6271 && travelTimeByte(kValves) == 8063 &&
              detailByte(nameIndex(levelIndex(0, 99)), kHoldSecPlane) == 2019);

// ---- levels as the panels show them ----

// The editor's valve bars stand upside down: position 0, at the top, is a full
// jet. The store keeps the jet level, never the position.
constexpr std::uint8_t jetLevelOfBar(int position)
{
    return std::uint8_t(kFullJet - position);
}
constexpr int barOfJetLevel(int level)
{
    return kFullJet - level;
}

// The whole per cent of a full jet a level is, rounded down (254 is 99 %).
constexpr int percent(int level)
{
    return level * 100 / kFullJet;
}

} // namespace form_layout

// The form's value types and the bar mapping, as the panels have always
// spelled them.
using form_layout::barOfJetLevel;
using form_layout::jetLevelOfBar;
using form_layout::JetLevels;
using form_layout::TravelTimes;
