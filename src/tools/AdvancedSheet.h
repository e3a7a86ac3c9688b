#pragma once

#include "tools/CompileOptions.h"

#include <QDialog>

#include <array>

class CAdvancedPage;
class QTabWidget;

// "Advanced Options": five pages on tabs, Overall first, over a working
// copy of a CompileOptions record.
class CAdvancedSheet : public QDialog {
    Q_OBJECT
public:
    explicit CAdvancedSheet(const CompileOptions& options, QWidget* parent = nullptr);

    // The working record; holds the edits of every opened page after OK.
    const CompileOptions& options() const { return m_options; }
    QTabWidget* tabs() const { return m_tabs; }

    void accept() override;

private:
    CompileOptions m_options;
    QTabWidget* m_tabs;
    std::array<CAdvancedPage*, 5> m_pages{};
};

// Runs the sheet on the record. OK copies all ten fields back and returns
// true; Cancel or closing leaves the record untouched and returns false.
bool EditCompileOptions(QWidget* parent, CompileOptions& options);
