// The pictures the generator draws, and the small helpers they share.
#pragma once

#include <QColor>
#include <QImage>

#include <cstdint>

enum class CellPicture { Empty, Peg, Selected };

QImage makeCell(CellPicture picture);
// button: 1 to 13, as the toolbar's SpeedButton1 to SpeedButton13.
QImage makeGlyph(int button);
QImage makeMainIcon();
QImage makeProgramIcon();
QImage makeDedicationPicture(); // Image1
QImage makeWinterPicture(); // Image2

// The standard 16-colour palette of the glyphs and the icon.
namespace Palette {
inline const QColor Black(0, 0, 0), Maroon(128, 0, 0), Green(0, 128, 0), Olive(128, 128, 0),
    Navy(0, 0, 128), Purple(128, 0, 128), Teal(0, 128, 128), Gray(128, 128, 128),
    Silver(192, 192, 192), Red(255, 0, 0), Lime(0, 255, 0), Yellow(255, 255, 0), Blue(0, 0, 255),
    Fuchsia(255, 0, 255), Aqua(0, 255, 255), White(255, 255, 255);
}

// A small fixed-seed generator, so that every run draws the same pixels on every machine
// (std::uniform_*_distribution differ between standard libraries).
class Random
{
public:
    explicit Random(std::uint32_t seed)
        : m_state(seed)
    { }
    std::uint32_t next()
    {
        // xorshift32
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }
    // Uniform in [0, 1).
    double unit() { return (next() >> 8) * (1.0 / 16777216.0); }
    double between(double low, double high) { return low + (high - low) * unit(); }
    int below(int bound) { return int(next() % std::uint32_t(bound)); }

private:
    std::uint32_t m_state;
};
