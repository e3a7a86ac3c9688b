#pragma once

#include "framework/Document.h"
#include "project/ProjectFile.h"

// The document of a project window: one ProjectFile, read from and written
// to a ".tarn" file. Everything that works on a project reads or edits this
// record; the tree, builds and export derive the rest when they need it.
class CProjectDoc : public fw::Document {
    Q_OBJECT
public:
    // A new project gets debug information on when debugDefault is 1 (the
    // setting of that name).
    explicit CProjectDoc(int debugDefault = 0);

    const ProjectFile& project() const { return m_project; }
    // For the editing commands; they mark the document modified themselves.
    ProjectFile& project() { return m_project; }

    // A new project: no sources, no libraries, every option 0 but the debug
    // information, which follows the "Debug Default" setting.
    bool onNewDocument() override;

signals:
    // After every load and every save: the views show the project afresh.
    void projectUpdated();
    // A new project without sources was saved for the first time, in
    // `folder`: the view offers to fill it from there.
    void savedNewAndEmpty(const QString& folder);

protected:
    bool readFile(const QString& path, QString* error) override;
    bool writeFile(const QString& path, QString* error) override;

private:
    int m_debugDefault = 0;
    ProjectFile m_project;
};
