// The fountain picture's geometry; see fountain_geometry.h.
#include "core/fountain_geometry.h"

#include <QRandomGenerator>

#include <cmath>
#include <numbers>
#include <utility>

namespace fountain {

RandomSource defaultRandomSource()
{
    return [] { return int(QRandomGenerator::global()->bounded(10)); };
}

namespace {

void fillStrip(Strip &strip, int a, int s, double phase, int rise, const RandomSource &random)
{
    constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;
    for (int i = 0; i < kJets; ++i) {
        const double wave = std::sin((phase + double(i) * s) * kRadiansPerDegree);
        const double x = i / 100.0 - 0.25;
        const double foot = wave / a - 0.25;
        const int r = random();
        const std::size_t at = std::size_t(2) * std::size_t(i);
        strip[at] = {float(x), float(foot)};
        strip[at + 1] = {float(x), float(foot + rise / 100.0 + r / 100.0)};
    }
}

} // namespace

Frame makeFrame(int a, int s, int p, int rise, const RandomSource &random)
{
    Frame frame;
    fillStrip(frame.first, a, s, p, rise, random);
    fillStrip(frame.second, a, s, p + 180.0, rise, random);
    return frame;
}

Animation::Animation(RandomSource random) : m_random(std::move(random)) {}

Frame Animation::nextFrame(int a, int s, int p)
{
    Frame frame = makeFrame(a, s, p, m_rise, m_random);
    if (m_rise < kMaxRise)
        ++m_rise;
    return frame;
}

} // namespace fountain
