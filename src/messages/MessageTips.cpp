#include "messages/MessageTips.h"

#include <QStringList>

#include <ctime>
#include <memory>
#include <random>

namespace {

// The addresses are Tarn's own placeholders. None of them holds a colon,
// digits and a colon, so every tip row gets the plain information icon.
const QStringList& tips()
{
    static const QStringList list = {
        QStringLiteral("Brushing your teeth after meals prevents cavities"),
        QStringLiteral("Remember to link with libiostr.a when compiling c++ files that use the iostream library"),
        QStringLiteral("You can right-click anywhere to bring up menus, even with no source file present"),
        QStringLiteral("Double clicking on an error message or project listing brings up the associated file"),
        QStringLiteral("If you're having trouble, send email to tarn-help@example.org"),
        QStringLiteral("Always save files before attempting to compile them!"),
        QStringLiteral("Select \"Rebuild All\" to build files in which only the headers have changed"),
        QStringLiteral("Tarn homepage: https://tarn.example.org/"),
        QStringLiteral("Remember to set your gcc path in the options menu"),
        QStringLiteral("Relax and take a deep breath...it's only code!"),
        QStringLiteral("DJGPP homepage: https://djgpp.example.org/"),
        QStringLiteral("You can use the -ansi option to make sure your program complies with the ANSI standard"),
        QStringLiteral("You can save the contents of this window to disk by pressing the save button on the toolbar"),
        QStringLiteral("Shouldn't you be coding instead of looking at useless tips?"),
        QStringLiteral("If you have trouble compiling a project, export it as a makefile"),
        QStringLiteral("If the edit window is doing weird things, change the font"),
        QStringLiteral("You can press Ctrl+Tab to switch between windows"),
        QStringLiteral("After you have changed a source file, save the project as well so the code browser reflects the changes"),
    };
    return list;
}

std::unique_ptr<TipChooser>& programChooser()
{
    static std::unique_ptr<TipChooser> chooser;
    return chooser;
}

} // namespace

QString tipText(int number)
{
    if (number < 1 || number > TipCount)
        return {};
    return tips().at(number - 1);
}

TipChooser::TipChooser(Generator generator) : m_generator(std::move(generator)) {}

int TipChooser::next()
{
    int tip = 0;
    // A real generator leaves the loop at once almost always; a degenerate
    // one that keeps returning the last tip must not hang the program.
    for (int draw = 0; draw < 1000; ++draw) {
        tip = static_cast<int>(m_generator() % TipCount) + 1;
        if (tip != m_lastTip)
            break;
    }
    if (tip == m_lastTip)
        tip = m_lastTip % TipCount + 1;
    m_lastTip = tip;
    return tip;
}

void seedTipGenerator(unsigned seed)
{
    auto engine = std::make_shared<std::minstd_rand>(seed);
    programChooser() = std::make_unique<TipChooser>([engine] { return unsigned((*engine)()); });
}

TipChooser& tipChooser()
{
    if (!programChooser())
        seedTipGenerator(static_cast<unsigned>(std::time(nullptr)));
    return *programChooser();
}
