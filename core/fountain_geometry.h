// The fountain picture's geometry: the two curtains of jets of one frame and
// the rise counter that lifts them frame by frame. Plain values, no GL.
#pragma once

#include <array>
#include <functional>
#include <utility>

namespace fountain {

inline constexpr int kJets = 61;                 // jets per curtain
inline constexpr int kStripVertices = 2 * kJets; // foot, top, foot, top, ...
inline constexpr int kFrameVertices = 2 * kStripVertices;
inline constexpr int kMaxRise = 80; // hundredths of the viewport half-height

// One vertex in normalized device coordinates (x right, y up, -1..+1).
struct Vertex
{
    float x = 0;
    float y = 0;
    bool operator==(const Vertex &) const = default;
};

using Strip = std::array<Vertex, kStripVertices>;

struct Frame
{
    Strip first;  // drawn first, light grey
    Strip second; // mirrored wave, drawn over the first in white
    bool operator==(const Frame &) const = default;
};

// Returns a uniform integer 0..9, the spray flicker of one jet top.
using RandomSource = std::function<int()>;
RandomSource defaultRandomSource();

// One frame: amplitude divisor a (1..10), phase step s and phase offset p in
// degrees, the rise counter in hundredths. Draws one random value per jet,
// first curtain jets 0..60, then second curtain jets 0..60.
Frame makeFrame(int a, int s, int p, int rise, const RandomSource &random);

// The animation: the rise counter grows by one per frame up to kMaxRise and
// is never reset.
class Animation
{
  public:
    explicit Animation(RandomSource random = defaultRandomSource());

    Frame nextFrame(int a, int s, int p);
    [[nodiscard]] int rise() const { return m_rise; }
    void setRandomSource(RandomSource random) { m_random = std::move(random); }

  private:
    RandomSource m_random;
    int m_rise = 0;
};

} // namespace fountain
