#pragma once

#include <QtGlobal>

namespace tarvel::sample {

// Smooth value noise on an integer lattice. Lattice values come from a hash of the
// coordinates and its seed rather than from a table filled by a random generator, so a
// picture only depends on its seed and comes out the same on every run.
class ValueNoise
{
public:
    explicit ValueNoise(quint32 seed) : m_seed(seed) {}

    // 0..1, one feature per lattice cell.
    double at(double x, double y) const;
    // Several octaves summed and normalised back to 0..1; the workhorse for terrain,
    // clouds and textures.
    double fbm(double x, double y, int octaves, double gain = 0.5) const;
    // 0..1 with sharp bright creases; reads as light caustics or cracks in rock.
    double ridged(double x, double y, int octaves) const;
    // A cheap per-pixel hash in -1..1 for grain that should not be smooth.
    double grain(int x, int y) const;

private:
    quint32 hash(int x, int y) const;
    double lattice(int x, int y) const;

    quint32 m_seed;
};

} // namespace tarvel::sample
