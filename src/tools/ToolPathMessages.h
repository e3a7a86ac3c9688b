#pragma once

#include <QString>

// What a tool command says when the path of the tool it needs is not set.
QString GccPathMessage();
QString MakePathMessage();
