#pragma once

class EditControl;

// Tarn's typing rules: indentation made of tab characters at the start of
// a line, kept or deepened after Enter, and braces moved to the level of
// the statement that owns them. They run after the control has handled
// the typed character.

// The two switches of the settings, read afresh for every typed character.
struct IndentRules {
    bool keepLevelAfterSemicolon = true; // the Enter rule
    bool moveBraces = true;              // the brace rule
};

// The character the rules see for Enter.
inline constexpr char kEnterChar = '\r';

// Number of tab characters at the very start of a line (spaces do not count).
int LineIndentTabs(const EditControl& edit, int line);

// Makes the caret's line start with exactly `count` tabs, keeping the caret
// at the same place in the line's text; a negative count changes nothing.
void SetCaretLineIndent(EditControl& edit, int count);

// Applies the rules for a character the control has just inserted (Enter
// as kEnterChar, with the caret at the start of the new line).
void ApplyTypingRules(EditControl& edit, char typed, const IndentRules& rules);
