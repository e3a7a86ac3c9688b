#include "tools/ToolPathMessages.h"

QString GccPathMessage()
{
    return QStringLiteral(
        "It appears you have not set your gcc path! GCC is the base C compiler for djgpp, you must "
        "set the path to its executable on the options menu with the \"browse\" button.");
}

QString MakePathMessage()
{
    return QStringLiteral(
        "It appears you have not set your make path! If you have installed Make, the GNU project "
        "manager, you must set the path to its executable on the options menu with the \"browse\" "
        "button.");
}
