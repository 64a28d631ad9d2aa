#include "noise.h"

#include <cmath>

namespace tarvel::sample {

quint32 ValueNoise::hash(int x, int y) const
{
    quint32 h = static_cast<quint32>(x) * 0x8da6b343u;
    h ^= static_cast<quint32>(y) * 0xd8163841u;
    h ^= m_seed * 0xcb1ab31fu;
    h ^= h >> 15;
    h *= 0x2c1b3c6du;
    h ^= h >> 12;
    h *= 0x297a2d39u;
    h ^= h >> 15;
    return h;
}

double ValueNoise::lattice(int x, int y) const
{
    return static_cast<double>(hash(x, y) & 0xffffffu) / static_cast<double>(0xffffffu);
}

double ValueNoise::at(double x, double y) const
{
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const int ix = static_cast<int>(fx);
    const int iy = static_cast<int>(fy);
    // Quintic fade: the cubic one leaves visible creases along lattice lines once the
    // noise is used as a height field and shaded.
    const auto fade = [](double t) { return t * t * t * (t * (t * 6.0 - 15.0) + 10.0); };
    const double tx = fade(x - fx);
    const double ty = fade(y - fy);
    const double a = lattice(ix, iy);
    const double b = lattice(ix + 1, iy);
    const double c = lattice(ix, iy + 1);
    const double d = lattice(ix + 1, iy + 1);
    const double top = a + (b - a) * tx;
    const double bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

double ValueNoise::fbm(double x, double y, int octaves, double gain) const
{
    double sum = 0.0;
    double amplitude = 1.0;
    double total = 0.0;
    for (int i = 0; i < octaves; ++i) {
        // Shift every octave so their lattice corners never line up at the origin.
        sum += amplitude * at(x + 17.31 * i, y - 9.73 * i);
        total += amplitude;
        amplitude *= gain;
        x *= 2.03;
        y *= 2.03;
    }
    return sum / total;
}

double ValueNoise::ridged(double x, double y, int octaves) const
{
    double sum = 0.0;
    double amplitude = 1.0;
    double total = 0.0;
    for (int i = 0; i < octaves; ++i) {
        const double v = 1.0 - std::abs(2.0 * at(x + 5.17 * i, y + 3.91 * i) - 1.0);
        sum += amplitude * v * v;
        total += amplitude;
        amplitude *= 0.5;
        x *= 2.07;
        y *= 2.07;
    }
    return sum / total;
}

double ValueNoise::grain(int x, int y) const
{
    return static_cast<double>(hash(x, y) & 0xffffu) / 32767.5 - 1.0;
}

} // namespace tarvel::sample
