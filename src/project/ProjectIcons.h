#pragma once

#include <QIcon>

// The three 16 x 16 pictures of the project tree, drawn in the manner of the
// toolbar's: a page of text (sources and included files), a page with one
// highlighted line (functions) and two linked squares ("Dependancies").
enum class ProjectImage { Page = 0, Function = 1, Dependencies = 2, Missing = 3 };

QIcon projectTreeIcon(ProjectImage image);
