#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>

#include <optional>
#include <vector>

// gcc, make and gdb write their messages in the language of the locale they
// run in, and Tarn reads those messages: the build verdict counts "error:"
// and "warning:", make's directory rows place the compiler messages, the
// debugger reads gdb's answers. So every child on the one child road
// (StartChild) runs with its messages in the C locale, while everything
// else of the user's locale stays: the character type (file names and the
// bytes of the source go through as they are, and gcc still quotes with
// the user's characters), the collation, the number formats.
//
// From the user's environment:
//   LC_MESSAGES          becomes C
//   LANGUAGE             goes (gettext would prefer it to LC_MESSAGES)
//   LC_ALL               goes; a non-empty LC_ALL ruled every category, so
//                        its value becomes each other category's (LC_CTYPE,
//                        LC_COLLATE, ...), as it was in effect
//   everything else      stays, LANG included
QProcessEnvironment ToolEnvironment(const QProcessEnvironment& user);

// One variable set back, or removed when it has no value.
struct EnvironmentSetting {
    QString name;
    std::optional<QString> value;

    friend bool operator==(const EnvironmentSetting&, const EnvironmentSetting&) = default;
};

// The variables ToolEnvironment changes in this environment, each with the
// user's own value (none where the user had the variable unset), in name
// order. A program that a tool starts for the user (the program gdb runs)
// gets its environment from the tool: these set the user's locale back
// for it.
std::vector<EnvironmentSetting> UserLocaleSettings(const QProcessEnvironment& user);

// The same change on the process's own environment as "NAME=value" bytes,
// for a child that is executed with an exact environment: every variable
// the change leaves alone keeps its bytes exactly.
std::vector<QByteArray> ToolEnvironmentBytes();
