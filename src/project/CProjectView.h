#pragma once

#include "framework/View.h"

#include <QTreeWidget>

// The tree of a project window: the project, its sources, their functions
// and the files they include.
class CProjectView : public QTreeWidget, public fw::View {
    Q_OBJECT
public:
    explicit CProjectView(QWidget* parent = nullptr);

    QWidget* widget() override { return this; }
    void onInitialUpdate() override;

    // Build and export commands (ProjectBuildCommands.h does the work).
    void OnBuildProject();
    void OnRebuildAll();
    void OnExportMakefile();
    void OnExportAndMake();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
};
