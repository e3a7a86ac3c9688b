#pragma once

#include <QString>

#include <functional>

// The tips of the Tip command, numbered 1 to 18.
constexpr int TipCount = 18;
QString tipText(int number);

// Chooses the next tip: a draw from the pseudo-random generator, modulo 18,
// plus one, repeated while it equals the tip shown last, so no tip is shown
// twice in a row. The generator is injectable so tests can script it.
class TipChooser {
public:
    using Generator = std::function<unsigned()>;
    explicit TipChooser(Generator generator);

    // The number (1 to 18) of the next tip; remembers it as the last one.
    int next();

private:
    Generator m_generator;
    int m_lastTip = 0;
};

// The program's chooser, seeded once. seedTipGenerator(seed) seeds it at
// start-up (with the time in seconds); if it never ran, the first use seeds
// it with the time.
TipChooser& tipChooser();
void seedTipGenerator(unsigned seed);
